// The hosting window and its router, over a router of the test's own on a
// stepped timer: the host dialog says each answer and the invite follows it;
// a router that never answers costs the window nothing and is said to have
// not answered at the time limit; switching the port off lets the mapping go
// at once, on again maps again; a solo game maps nothing.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "app/game/lexiflip_app.h"
#include "app/game/window_roles.h"
#include "client/game/client_game.h"
#include "client/widgets/chat_view.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"
#include "net/net_wait.h"
#include "net/portmap/address_reach.h"
#include "support/fake_router.h"
#include "support/stepped_scheduler.h"
#include "windows/small/host_dialog.h"

namespace lexiflip::app {
namespace {

using namespace std::chrono_literals;
using portmap::MapAnswer;
using testing::FakeMapper;
using testing::FakeRouter;
using testing::openedAnswer;
using testing::waitUntil;

// Longer than any step of the window may take, far shorter than a held
// router keeps its caller waiting.
constexpr qint64 kAtOnceMs = 2000;

// The whole program at a solo table, its router the test's.
struct RouterProgram {
    RouterProgram()
    {
        host::HostOptions options;
        options.port = 0;
        options.seed = 5;
        program = std::make_unique<LexiflipApp>(3, home.filePath("halvolobby.ini").toStdString(),
                                                home.filePath("Lexifliptally.tld"), options,
                                                [](const QUrl&) { return true; });
        program->roles().setRouter([r = router] { return std::make_unique<FakeMapper>(r); },
                                   time.scheduler());
        program->game.window().show();
        program->start(client::processparams({}), false);
    }
    ~RouterProgram() { router->release(); }

    windows::HostDialog& dialog() { return program->roles().hostDialog(); }
    void trigger(const char* entry)
    {
        program->game.window().menu().entry(QString::fromLatin1(entry))->trigger();
    }
    // Hosts from the dialog, as the player does; how long that took.
    qint64 host()
    {
        trigger("HostGame1");
        QElapsedTimer took;
        took.start();
        emit dialog().hostRequested(QStringLiteral("Ann"), 0);
        return took.elapsed();
    }
    int port() { return program->server().port(); }
    QString routerLine() { return dialog().findChild<QLabel*>(QStringLiteral("label_forwarding"))->text(); }
    bool routerLineIs(const QString& text)
    {
        return waitUntil([&] { return routerLine() == text; });
    }
    QString chat() { return program->game.window().chatView().toPlainText(); }
    // The link on the clipboard after Copy Invite in the dialog, and after
    // File > Copy Invite Link.
    QString copyInvite()
    {
        QApplication::clipboard()->clear();
        QTest::mouseClick(dialog().findChild<QPushButton*>(QStringLiteral("button_copyinvite")),
                          Qt::LeftButton);
        return QApplication::clipboard()->text();
    }
    QString copyInviteLink()
    {
        QApplication::clipboard()->clear();
        trigger("CopyInviteLink1");
        return QApplication::clipboard()->text();
    }

    QTemporaryDir home;
    std::shared_ptr<FakeRouter> router = std::make_shared<FakeRouter>();
    testing::SteppedScheduler time;
    std::unique_ptr<LexiflipApp> program;
};

// The invite without a mapping: one of the machine's own addresses with the
// port, or nothing when the machine has none.
void expectLocalInvite(const QString& link, int port, const char* how)
{
    SCOPED_TRACE(how);
    const QList<QHostAddress> own = windows::invitableAddresses();
    if (own.isEmpty()) {
        EXPECT_TRUE(link.isEmpty()) << link.toStdString();
        return;
    }
    bool found = false;
    for (const QHostAddress& address : own)
        found = found || link == QStringLiteral("lexiflip://%1:%2")
                                     .arg(address.protocol() == QAbstractSocket::IPv6Protocol
                                              ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                                              : address.toString())
                                     .arg(port);
    EXPECT_TRUE(found) << link.toStdString();
}

QString didNotAnswer(int port)
{
    return QStringLiteral(
               "Your router did not answer: forward port %1 by hand, or use an address your friends "
               "can reach")
        .arg(port);
}

// The router holds the request and never answers: the dialog is ready at
// once (the router's line asking, the invite the machine's own address), the
// line says the router did not answer when the time limit passes, and a
// switch-off meanwhile waits for nothing. The router answering late, for a
// port given up, leaves no mapping behind.
TEST(HostingRouter, ARouterThatNeverAnswersCostsTheDialogNothingAndIsSaidAtTheTimeLimit)
{
    RouterProgram p;
    p.router->hold();
    EXPECT_LT(p.host(), kAtOnceMs);
    ASSERT_EQ(p.program->role(), client::LaunchPlan::Role::Host);
    ASSERT_TRUE(p.dialog().isVisible());
    ASSERT_TRUE(waitUntil([&] { return p.router->mapCount() == 1; }));
    const int port = p.port();
    EXPECT_EQ(p.router->portsAsked(), std::vector<int>{port});
    EXPECT_EQ(p.routerLine(), QStringLiteral("Asking your router to open port %1...").arg(port));
    expectLocalInvite(p.copyInvite(), port, "Copy Invite while asking");
    expectLocalInvite(p.copyInviteLink(), port, "Copy Invite Link while asking");

    p.time.advance(net::RouterPort::kAnswerLimit - 1s);
    testing::settle();
    EXPECT_EQ(p.routerLine(), QStringLiteral("Asking your router to open port %1...").arg(port));
    p.time.advance(1s);
    EXPECT_TRUE(p.routerLineIs(didNotAnswer(port))) << p.routerLine().toStdString();
    EXPECT_TRUE(p.chat().contains(didNotAnswer(port)));

    // Switched off while the router still holds the request.
    QElapsedTimer took;
    took.start();
    p.trigger("OpenRouterPort1");
    EXPECT_LT(took.elapsed(), kAtOnceMs);
    EXPECT_FALSE(p.program->game.settings().preferences().openRouterPort);
    EXPECT_TRUE(p.routerLine().startsWith(QStringLiteral("Opening the port on your router is switched off")))
        << p.routerLine().toStdString();

    // The router opens the port at last: that opening is removed, and the
    // window keeps saying the port is switched off.
    p.router->answerNext({openedAnswer()});
    p.router->release();
    ASSERT_TRUE(waitUntil([&] { return p.router->unmapCount() == 1; }));
    EXPECT_FALSE(p.router->hasMapping());
    testing::settle();
    EXPECT_TRUE(p.routerLine().startsWith(QStringLiteral("Opening the port on your router is switched off")));
    expectLocalInvite(p.copyInviteLink(), port, "Copy Invite Link once switched off");
    EXPECT_EQ(p.router->mapCount(), 1u);
}

// Each answer of the router in the host dialog's words, and the invite of
// both ways of copying it: the router's address and port with a mapping, the
// machine's own address without.
TEST(HostingRouter, TheDialogSaysEachAnswerAndTheInviteCarriesTheMappingOnly)
{
    MapAnswer refused;
    refused.kind = MapAnswer::Kind::Refused;
    refused.reason = "ConflictInPortMappingEntry";
    // Beside the mapping, the router's answer about an IPv6 pinhole.
    const auto withPinhole = [](MapAnswer answer, portmap::PinholeAnswer::Kind kind) {
        answer.pinhole = {kind, "2001:db8::20", kind == portmap::PinholeAnswer::Kind::Opened ? 1h : 0s, {}};
        return answer;
    };
    constexpr int kThroughPinhole = -2;
    const struct {
        const char* answer;
        MapAnswer given;
        const char* line; // %1 the port asked for
        int externalPort; // 0: the one asked for; -1: no mapping; kThroughPinhole: the pinhole's address
    } cases[] = {
        {"opened", openedAnswer(), "Your router opened port %1: friends can join at 203.0.113.5:%1", 0},
        {"another port", openedAnswer(1h, 7773),
         "Port %1 was taken on your router, which opened port 7773 instead: friends can join at "
         "203.0.113.5:7773",
         7773},
        {"refused", refused,
         "Your router refused to open port %1 (ConflictInPortMappingEntry): forward port %1 by hand, or use "
         "an "
         "address your friends can reach",
         -1},
        {"no answer", MapAnswer{},
         "Your router did not answer: forward port %1 by hand, or use an address your friends can reach", -1},
        {"IGD version 1", withPinhole(openedAnswer(), portmap::PinholeAnswer::Kind::NotOffered),
         "Your router opened port %1: friends can join at 203.0.113.5:%1\n"
         "Your router offers no IPv6 pinholes (UPnP IGD version 1): friends over IPv6 get in at "
         "[2001:db8::20]:%1 only if its firewall lets them",
         0},
        {"a pinhole without a mapping", withPinhole(refused, portmap::PinholeAnswer::Kind::Opened),
         "Your router refused to open port %1 (ConflictInPortMappingEntry): forward port %1 by hand, or use "
         "an address your friends can reach\n"
         "Your router opened port %1 over IPv6: friends can join at [2001:db8::20]:%1",
         kThroughPinhole},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        RouterProgram p;
        p.router->answerNext({c.given});
        p.host();
        ASSERT_TRUE(waitUntil([&] { return p.router->mapCount() == 1; }));
        const int port = p.port();
        ASSERT_TRUE(p.routerLineIs(QString::fromLatin1(c.line).arg(port))) << p.routerLine().toStdString();
        if (c.externalPort == kThroughPinhole) {
            // The pinhole's address is listed with what opened it, and the
            // invite carries it unless this machine has a public IPv4
            // address of its own, which needs no router at all.
            QStringList listed;
            const auto* list = p.dialog().findChild<QListWidget*>(QStringLiteral("list_addresses"));
            for (int row = 0; row < list->count(); ++row)
                listed << list->item(row)->text();
            EXPECT_TRUE(listed.contains(
                QStringLiteral(
                    "[2001:db8::20]:%1 (the internet over IPv6, through the pinhole your router opened)")
                    .arg(port)))
                << listed.join(QLatin1Char('|')).toStdString();
            bool publicIpv4 = false;
            for (const QHostAddress& own : windows::invitableAddresses())
                publicIpv4 = publicIpv4 ||
                             portmap::reachOf(own.toString().toStdString()) == portmap::Reach::InternetIpv4;
            if (!publicIpv4) {
                const QString link = QStringLiteral("lexiflip://[2001:db8::20]:%1").arg(port);
                EXPECT_EQ(p.copyInvite(), link);
                EXPECT_EQ(p.copyInviteLink(), link);
            }
            continue;
        }
        if (c.externalPort < 0) {
            expectLocalInvite(p.copyInvite(), port, "Copy Invite");
            expectLocalInvite(p.copyInviteLink(), port, "Copy Invite Link");
            continue;
        }
        const QString link =
            QStringLiteral("lexiflip://203.0.113.5:%1").arg(c.externalPort == 0 ? port : c.externalPort);
        EXPECT_EQ(p.copyInvite(), link);
        EXPECT_EQ(p.copyInviteLink(), link);
        const QString first =
            p.dialog().findChild<QListWidget*>(QStringLiteral("list_addresses"))->item(0)->text();
        EXPECT_TRUE(first.endsWith(QStringLiteral("(the internet over IPv4)"))) << first.toStdString();
    }
}

// The setting switched off while hosting removes the mapping at once and the
// invite falls back to the machine's address; on again, the port is mapped
// again. A solo game, before and after, asks the router for nothing.
TEST(HostingRouter, SwitchingThePortOffRemovesTheMappingAndASoloGameMapsNothing)
{
    RouterProgram p;
    ASSERT_TRUE(waitUntil([&] { return p.program->game.game().roster().loggedin(); }));
    ASSERT_TRUE(p.program->game.settings().preferences().openRouterPort);
    testing::settle();
    EXPECT_EQ(p.router->mapCount(), 0u) << "a solo game maps nothing";

    p.router->answerNext({openedAnswer(), openedAnswer()});
    p.host();
    ASSERT_TRUE(waitUntil([&] { return p.router->hasMapping(); }));
    const int port = p.port();
    const QString external = QStringLiteral("lexiflip://203.0.113.5:%1").arg(port);
    ASSERT_TRUE(waitUntil([&] { return p.copyInviteLink() == external; }));

    p.trigger("OpenRouterPort1");
    EXPECT_TRUE(waitUntil([&] { return p.router->unmapCount() == 1; }));
    expectLocalInvite(p.copyInviteLink(), port, "switched off");
    expectLocalInvite(p.copyInvite(), port, "switched off, the dialog");

    p.trigger("OpenRouterPort1");
    EXPECT_TRUE(waitUntil([&] { return p.router->hasMapping(); }));
    EXPECT_EQ(p.router->mapCount(), 2u);
    EXPECT_TRUE(waitUntil([&] { return p.copyInviteLink() == external; }));

    // A solo game: the mapping goes, and nothing more is asked for.
    p.trigger("NewSoloGame1");
    ASSERT_EQ(p.program->role(), client::LaunchPlan::Role::Solo);
    EXPECT_TRUE(waitUntil([&] { return p.router->unmapCount() == 2; }));
    ASSERT_TRUE(waitUntil([&] { return p.program->game.game().roster().loggedin(); }));
    p.time.advance(2h); // no renewal either
    testing::settle();
    EXPECT_EQ(p.router->mapCount(), 2u);
    EXPECT_FALSE(p.router->hasMapping());
}

} // namespace
} // namespace lexiflip::app
