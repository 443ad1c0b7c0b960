// A stand-in for the game's start-up, for the single-instance tests: claims
// the guard named on the command line, says "first" or "second" on standard
// output, and as the first copy says "raised" whenever a later copy asks it to
// come forward, and "invite LINK" when it hands over the invite link it was
// given as a second argument. The first copy runs until killed.
#include "client/shell/single_instance.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    lexiflip::client::SingleInstance guard(QString::fromLocal8Bit(argv[1]));
    if (!guard.claim(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString())) {
        std::puts("second");
        return 0;
    }
    QObject::connect(&guard, &lexiflip::client::SingleInstance::activationRequested, [] {
        std::puts("raised");
        std::fflush(stdout);
    });
    QObject::connect(&guard, &lexiflip::client::SingleInstance::inviteReceived, [](const QString& link) {
        std::printf("invite %s\n", link.toUtf8().constData());
        std::fflush(stdout);
    });
    std::puts("first");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
