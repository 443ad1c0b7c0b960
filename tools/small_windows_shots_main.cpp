// Grabs the phrase editor, the spy list, every help page, the about window, the
// download window (idle and part-way through a download's texts), the join
// dialog refusing a link full of markup (which must show as typed), the host
// dialog while hosting, and the tally window with a few games to PNGs:
//   QT_QPA_PLATFORM=offscreen lexiflip-small-windows-shots /tmp/shots 2
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHostAddress>
#include <QLabel>

#include <cstdio>
#include <cstdlib>

#include "windows/small/host_dialog.h"
#include "windows/small/join_dialog.h"
#include "windows/small/tabout.h"
#include "windows/small/tdownload.h"
#include "windows/small/thelp.h"
#include "windows/small/tphrases.h"
#include "windows/small/tspylist.h"
#include "windows/side/ttallylist.h"

using namespace lexiflip::windows;

namespace {

QString g_directory;
QString g_ratio;

bool save(QWidget& window, const QString& name)
{
    window.show();
    QApplication::processEvents();
    const QString path =
        QDir(g_directory).filePath(name + QStringLiteral("@") + g_ratio + QStringLiteral(".png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIRECTORY RATIO\n", argv[0]);
        return 2;
    }
    g_directory = QString::fromLocal8Bit(argv[1]);
    g_ratio = QString::fromLocal8Bit(argv[2]);
    qputenv("QT_SCALE_FACTOR", argv[2]);
    QApplication app(argc, argv);
    QDir().mkpath(g_directory);
    bool ok = true;

    Tphrases phrases;
    phrases.PrhaseList1Click({"Way To Go!", "Good One!", "Nice Try!", "Excellent!", "Brilliant!", "Wow, WTG!",
                              "Thanks!", "Way To Go Teamie!", "Good Game Everyone!"});
    ok &= save(phrases, QStringLiteral("phrases"));

    Tspylist spys;
    spys.setWatchers({"7: Anna", "8: Ben", "9: Klara"});
    spys.setRemoveEnabled(true);
    ok &= save(spys, QStringLiteral("spylist"));

    Thelp help;
    for (int tag = 1; tag <= kHelpPageCount; ++tag) {
        help.SelButton1Click(tag);
        ok &= save(help, QStringLiteral("help%1").arg(tag));
    }

    Tabout about;
    ok &= save(about, QStringLiteral("about"));

    Tdownload download;
    download.setLobbyServer(QString());
    ok &= save(download, QStringLiteral("download"));
    download.findChild<QLabel*>(QStringLiteral("infolabel"))->setText(QStringLiteral("481516 bytes"));
    download.findChild<QLabel*>(QStringLiteral("infolabel3"))
        ->setText(QStringLiteral("Downloading: hvlsetup.exe"));
    download.findChild<QAbstractButton*>(QStringLiteral("getbutton"))->setEnabled(false);
    download.findChild<QAbstractButton*>(QStringLiteral("abortbutton"))->setEnabled(true);
    ok &= save(download, QStringLiteral("download-busy"));

    JoinDialog join;
    join.setPlayerName(QStringLiteral("Anna"));
    join.showProblem(QStringLiteral("That invite link is malformed, so nothing was joined: "
                                    "\"lexiflip://<h1>big</h1><img src=x>\". An invite reads "
                                    "lexiflip://HOST or lexiflip://HOST:PORT."));
    ok &= save(join, QStringLiteral("join-problem"));

    HostDialog host;
    host.showHosting({QHostAddress(QStringLiteral("192.0.2.10")), QHostAddress(QStringLiteral("2001:db8::10"))},
                     7772);
    ok &= save(host, QStringLiteral("host-hosting"));

    TallyModel tally;
    tally.setPlayerList([] {
        return PlayerList{1, {"Me", "Anna", "Ben", "<Waiting>", "<Waiting>", "<Waiting>"}};
    });
    Ttallylist tallylist(tally);
    tally.loadchecklist();
    tally.setChecklistTick(0, true);
    tally.addgame("Anna");
    tally.addgame("addtomine");
    tally.addtomineset(3, 42, "QUIXOTIC");
    tally.select(0);
    ok &= save(tallylist, QStringLiteral("tally"));
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
