// Grabs the phrase editor, the spy list, every help page, the about window, the
// download window (idle and part-way through a download's texts), the join
// dialog refusing a link full of markup (which must show as typed), the host
// dialog while hosting (without a router, and with one that opened the port),
// the tally window with a few games, the list of recorded
// games and a recorded game's replay (at 100 and 200 %) to PNGs:
//   QT_QPA_PLATFORM=offscreen lexiflip-small-windows-shots /tmp/shots 2
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QLabel>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "net/portmap/address_reach.h"
#include "net/portmap/mapping_message.h"
#include "windows/replay/open_record_dialog.h"
#include "windows/replay/replay_window.h"
#include "windows/side/ttallylist.h"
#include "windows/small/host_dialog.h"
#include "windows/small/join_dialog.h"
#include "windows/small/tabout.h"
#include "windows/small/tdownload.h"
#include "windows/small/thelp.h"
#include "windows/small/tphrases.h"
#include "windows/small/tspylist.h"

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

// Two rounds of a game between Ann and Klot, as a window records one.
constexpr const char* kSampleGame = "lexiflip-record 1\n"
                                    "began 2026-12-09T14:05:00Z\n"
                                    "options 100 60 sneak 0\n"
                                    "starter Ann\n"
                                    "self 1\n"
                                    "seat 1 Ann\n"
                                    "seat 2 Klot\n"
                                    "turn 1\n"
                                    "flip 2 2 T\nflip 5 3 R\nflip 8 2 A\nflip 3 6 E\nflip 9 7 S\n"
                                    "word 1 STARE 20 10 20 9,7 2,2 8,2 5,3 3,6\n"
                                    "turn 2\n"
                                    "flip 1 1 O\nflip 4 4 N\nflip 6 5 Q\nflip 10 8 I\nflip 7 1 D\n"
                                    "word 2 QUOIN 32 5 32 6,5 bar 1,1 10,8 4,4\n"
                                    "turn 1\n"
                                    "flip 2 5 B\nflip 5 5 L\nflip 8 6 E\nflip 4 8 Z\nflip 9 3 A\n"
                                    "word 1 BLAZE 42 10 62 2,5 5,5 9,3 4,8 8,6\n"
                                    "turn 2\n"
                                    "flip 3 3 M\nflip 6 7 U\n";

bool saveReplays(const QTemporaryDir& folder)
{
    const QString path = folder.filePath(QStringLiteral("2026-12-09_140500Z_Ann_Klot.lexiflip.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(kSampleGame) < 0)
        return false;
    file.close();
    bool ok = true;
    OpenRecordDialog dialog;
    dialog.showRecords(folder.path().toStdString());
    ok &= save(dialog, QStringLiteral("open-record"));
    dialog.close();
    QString problem;
    ReplayWindow* replay = openReplayWindow(path, nullptr, {}, problem);
    if (!replay) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return false;
    }
    replay->showStep(21); // BLAZE taken: Ann leads 62 to 32
    ok &= save(*replay, QStringLiteral("replay"));
    replay->setZoom(*lexiflip::client::Zoom::fromPercent(200));
    ok &= save(*replay, QStringLiteral("replay-zoom200"));
    delete replay;
    return ok;
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
    // The router opened the port: its address leads, and its line replaces
    // the note on forwarding by hand.
    lexiflip::portmap::MapAnswer opened;
    opened.kind = lexiflip::portmap::MapAnswer::Kind::Opened;
    opened.protocol = lexiflip::portmap::Protocol::UpnpIgd;
    opened.externalAddress = "203.0.113.5";
    opened.externalPort = 7772;
    opened.lease = std::chrono::hours(1);
    HostDialog routed;
    routed.showHosting(lexiflip::portmap::addressesToOffer(opened, {"192.168.1.10", "2001:db8::10"}, 7772),
                       7772, QString::fromStdString(lexiflip::portmap::mappingMessage(opened, 7772)));
    ok &= save(routed, QStringLiteral("host-router"));

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

    const QTemporaryDir records;
    ok &= records.isValid() && saveReplays(records);
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
