#include "client/window/chat_controls.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

#include <string>

#include "client/game/client_game.h"
#include "client/media/palette.h"
#include "client/media/sound_player.h"
#include "client/session/eight_bit_text.h"
#include "client/session/guarded.h"
#include "client/shell/invite_link.h"
#include "client/widgets/chat_view.h"
#include "client/widgets/phrase_buttons.h"
#include "client/window/main_menu.h"
#include "client/window/tchat.h"

namespace lexiflip::client {

namespace {

const QString kPrompt = QStringLiteral("<Enter Chat Here>");

wire::Colour toColour(const QColor& colour)
{
    return wire::Colour(colour.red()) | (wire::Colour(colour.green()) << 8) |
           (wire::Colour(colour.blue()) << 16);
}

bool isModifierOnly(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_NumLock;
}

QString linkInChat(const QString& plainText, int position)
{
    const std::optional<chat::LinkSpan> span =
        chat::findLink(eightBit(plainText), std::size_t(qMax(0, position)));
    return span ? plainText.mid(qsizetype(span->start), qsizetype(span->length)) : QString();
}

} // namespace

ChatControls::ChatControls(Tchat& window, ClientSender& sender, ClientGame& game, core::Clock& cooldown)
    : m_window(window), m_game(game), m_entry(window.chatEntry()), m_cooldown(cooldown),
      m_part(sender, *this, game, m_cooldown),
      m_chooseColour([this](QColor current, const QString& title) -> std::optional<QColor> {
          const QColor chosen = QColorDialog::getColor(current, &m_window, title);
          return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
      }),
      m_openLink([](const QUrl& link) { QDesktopServices::openUrl(link); })
{
    m_game.setPlayasoundHandler([this](std::string_view payload) { m_part.playasound(payload); });

    // mychat: Enter sends, the prompt goes with the first key, and Paste
    // replaces the whole text.
    m_entry.installEventFilter(this);
    m_entry.setContextMenuPolicy(Qt::CustomContextMenu);
    m_entryMenu = new QMenu(&m_entry);
    QAction* paste = m_entryMenu->addAction(QStringLiteral("Paste"), this, [this] { pasteIntoEntry(); });
    paste->setObjectName(QStringLiteral("Paste1"));
    paste->setShortcut(QKeySequence::Paste);
    connect(&m_entry, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_entryMenu->popup(m_entry.mapToGlobal(at)); });
    setTextColour(m_part.textColour());

    PhraseButtons& phrases = window.phraseButtons();
    connect(&phrases, &PhraseButtons::phraseClicked, this,
            [this](int button) { guarded([&] { m_part.phraseClick(button); }); });
    connect(&phrases, &PhraseButtons::soundChosen, this,
            [this](int tag) { guarded([&] { m_part.soundChosen(tag); }); });

    ChatView& view = window.chatView();
    view.setLinkFinder(&linkInChat);
    connect(&view, &ChatView::linkClicked, this, &ChatControls::onLinkClicked);

    const MainMenu& menu = window.menu();
    connect(menu.action(MenuCommand::TextColor), &QAction::triggered, this,
            [this] { guarded([this] { TextColor1Click(); }); });
    connect(menu.action(MenuCommand::ActionColor), &QAction::triggered, this,
            [this] { guarded([this] { ActionColor1Click(); }); });
}

ChatControls::~ChatControls()
{
    m_cooldown.stop();
    m_game.setPlayasoundHandler({});
    m_entry.removeEventFilter(this);
}

void ChatControls::setTextColour(wire::Colour colour)
{
    m_part.setTextColour(colour);
    QPalette look = m_entry.palette();
    look.setColor(QPalette::Text, palette::fromColour(colour));
    m_entry.setPalette(look);
}

void ChatControls::setActionColour(wire::Colour colour)
{
    m_part.setActionColour(colour);
}

void ChatControls::setPlayChatterSounds(bool on)
{
    m_part.setPlayChatterSounds(on);
}

void ChatControls::setPhrases(const chat::Phrases& phrases)
{
    m_part.setPhrases(phrases);
    m_window.phraseButtons().setPhrases(phrases);
}

bool ChatControls::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_entry || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (isModifierOnly(key->key()))
        return false;
    if (m_entry.text() == kPrompt)
        m_entry.clear();
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        guarded([this] { sendit(); });
        return true;
    }
    if (key->matches(QKeySequence::Paste)) {
        pasteIntoEntry();
        return true;
    }
    return false;
}

void ChatControls::sendit()
{
    if (m_part.sendit(eightBit(m_entry.text())))
        m_entry.clear();
}

void ChatControls::pasteIntoEntry()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        m_entry.setText(text);
}

void ChatControls::TextColor1Click()
{
    const std::optional<QColor> chosen =
        m_chooseColour(palette::fromColour(m_part.textColour()), QStringLiteral("Text Color"));
    if (!chosen)
        return;
    setTextColour(toColour(*chosen));
    emit textColourChosen(m_part.textColour());
}

// The settings are saved whether or not a colour was chosen.
void ChatControls::ActionColor1Click()
{
    const std::optional<QColor> chosen =
        m_chooseColour(palette::fromColour(m_part.actionColour()), QStringLiteral("Action Color"));
    if (chosen)
        setActionColour(toColour(*chosen));
    emit actionColourChosen(m_part.actionColour());
}

void ChatControls::onLinkClicked(const QString& link)
{
    // "www." names a web site without its scheme; the other prefixes are schemes.
    const QUrl url = link.startsWith(QStringLiteral("www."), Qt::CaseInsensitive)
                         ? QUrl(QStringLiteral("http://") + link, QUrl::TolerantMode)
                         : QUrl(link, QUrl::TolerantMode);
    if (!chat::linkNeedsConfirmation(eightBit(link))) {
        m_openLink(url);
        return;
    }
    // Another player wrote it: the whole link is shown, as plain text, and
    // opened only on Yes. The box answers the player's own click. An invite
    // is not handed to the desktop (which would start another copy): this
    // window joins it.
    const bool invite = invite::looksLikeLink(eightBit(link));
    auto* box = new QMessageBox(
        QMessageBox::Question, invite ? QStringLiteral("Join Game") : QStringLiteral("Open Link"),
        (invite ? QStringLiteral("Another player invites you to the game at this link. Join it? "
                                 "You leave the game you are in.\n\n")
                : QStringLiteral("Another player's link may start a program on this computer. Open it?\n\n")) +
            link,
        QMessageBox::Yes | QMessageBox::No, &m_window);
    box->setObjectName(QStringLiteral("linkbox"));
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, url, link, invite](int answer) {
        if (answer != QMessageBox::Yes)
            return;
        if (invite)
            emit inviteAccepted(link);
        else
            m_openLink(url);
    });
    box->open();
}

void ChatControls::addlinetochat(std::string_view line, wire::Colour colour)
{
    m_window.chatView().addlinetochat(line, colour);
}

void ChatControls::systemLine(std::string_view line)
{
    m_window.chatView().addlinetochat(line, palette::kSystemColour);
}

void ChatControls::playChatterSound(std::string_view name)
{
    m_window.sounds().play(fromEightBit(name));
}

} // namespace lexiflip::client
