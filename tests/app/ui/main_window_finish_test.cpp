// The habits of a desktop program: the window comes back where it was, the
// status bar says what happens, keys and Alt letters work, and message boxes
// speak the program's language.
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <map>
#include <set>

#include "main_window_fixture.h"
#include "shell/status_text.h"
#include "shell/table_controller.h"
#include "shell/texts.h"
#include "shell/window_geometry.h"
#include "ui/message_box_prompt.h"

namespace qc {
namespace {

constexpr QSize kDefaultSize(1180, 760);

class MainWindowFinishTest : public MainWindowTest {
protected:
    // A later start of the program in the same folders.
    struct Restart {
        explicit Restart(test::SteppedClock& clock)
            : session(clock)
            , window(session)
        {
        }
        Session session;
        frmTransfer window;
    };
};

TEST_F(MainWindowFinishTest, GeometryIsRestoredAfterARestart)
{
    const QRect placed(60, 45, 640, 420);
    window.setGeometry(placed);
    window.show();
    window.mnuEnd_Click();
    ASSERT_TRUE(QFile::exists(WindowStateFile(folders.Settings())));

    Restart again(clock);
    EXPECT_EQ(again.window.geometry(), placed);
    again.window.show();
    EXPECT_EQ(again.window.geometry(), placed);
}

// Damaged records, and a record of a window far off every screen: the
// window opens at its default size, or on the screen, never out of sight.
TEST_F(MainWindowFinishTest, DamagedOrOffScreenGeometrySweep)
{
    const QByteArray damaged[] = {QByteArray("x"), QByteArray(1 << 16, '\x01'), QByteArray(1 << 20, '\xff'),
                                  window.saveGeometry().left(10)};
    for (const QByteArray& bytes : damaged) {
        ASSERT_TRUE(SaveWindowGeometry(folders.Settings(), bytes));
        Restart again(clock);
        EXPECT_EQ(again.window.size(), kDefaultSize) << bytes.size();
    }
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint far : {QPoint(-50000, -50000), QPoint(90000, 20), QPoint(30, 70000)}) {
        Restart first(clock);
        first.window.setGeometry(QRect(far, QSize(400, 300)));
        first.window.mnuEnd_Click();
        Restart again(clock);
        again.window.show();
        EXPECT_TRUE(screen.intersects(again.window.geometry())) << far.x() << "," << far.y();
    }
}

StatusState S(Activity activity, const QString& gauge = {}, int done = 0, int total = 0)
{
    StatusState state;
    state.activity = activity;
    state.Gauge = gauge;
    state.Done = done;
    state.Total = total;
    return state;
}

struct StatusBarRow {
    StatusState State;
    bool Connected;
    const char16_t* German;
    const char16_t* English;
};

const StatusBarRow kStatusBarRows[] = {
    {S(Activity::Idle), false, u"Kein Messgerät verbunden", u"No gauge connected"},
    {S(Activity::Scanning), false, u"Suche Messgeräte …", u"Scanning for gauges …"},
    {S(Activity::Connecting, QStringLiteral("QV 12")), false, u"Verbinde mit QV 12 …", u"Connecting to QV 12 …"},
    // The link's flag alone says connected, with the gauge's own name.
    {S(Activity::Idle), true, u"Verbunden mit QV 4711", u"Connected to QV 4711"},
    {{Activity::Reading, {}, 7, 120},
     true,
     u"Lese Messwert 7 von 120 aus QV 4711 …",
     u"Reading value 7 of 120 from QV 4711 …"},
};

TEST_F(MainWindowFinishTest, StatusBarTextsInBothLanguages)
{
    ASSERT_NE(window.statusBar(), nullptr);
    auto* label = window.findChild<QLabel*>(QStringLiteral("lblStatus"));
    ASSERT_NE(label, nullptr);
    session.Gauge.identity.DeviceName = QStringLiteral("QV");
    session.Gauge.identity.GaugeNumber = QStringLiteral("4711");
    for (const StatusBarRow& row : kStatusBarRows) {
        session.Status = row.State;
        session.Connected = row.Connected;
        window.German_Click();
        EXPECT_EQ(label->text(), QString::fromUtf16(row.German));
        window.English_Click();
        EXPECT_EQ(window.StatusBarText(), QString::fromUtf16(row.English));
        session.SetLanguage(kGerman);
        window.RefreshStatus();
        EXPECT_EQ(label->text(), QString::fromUtf16(row.German));
    }
}

// At start nothing runs: the connection text says "not connected", it does
// not ask the user to wait.
TEST_F(MainWindowFinishTest, IdleConnectionTextDoesNotReadAsBusy)
{
    EXPECT_EQ(ui().txtWait->text(), QStringLiteral("Nicht Verbunden"));
    window.English_Click();
    EXPECT_EQ(ui().txtWait->text(), QStringLiteral("not connected"));
    for (int language : {kGerman, kEnglish}) {
        session.SetLanguage(language);
        window.ApplyTexts();
        EXPECT_NE(ui().txtWait->text(), MessageText(language, 13));
    }
}

// Within each menu, and on the menu bar, every entry has its own Alt letter,
// in both languages.
TEST_F(MainWindowFinishTest, MenuMnemonicsAreDistinctInBothLanguages)
{
    const auto letterOf = [](const QString& text) {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == u'&' && text[i + 1] != u'&')
                return text[i + 1].toLower();
            if (text[i] == u'&')
                ++i;
        }
        return QChar();
    };
    for (int language : {kGerman, kEnglish}) {
        session.SetLanguage(language);
        window.ApplyTexts();
        std::set<QChar> bar;
        for (QAction* top : window.menuBar()->actions()) {
            const QChar letter = letterOf(top->text());
            EXPECT_FALSE(letter.isNull()) << top->text().toStdString();
            EXPECT_TRUE(bar.insert(letter).second) << top->text().toStdString();
            if (!top->menu())
                continue;
            std::set<QChar> entries;
            for (QAction* entry : top->menu()->actions()) {
                const QChar inner = letterOf(entry->text());
                EXPECT_FALSE(inner.isNull()) << entry->text().toStdString();
                EXPECT_TRUE(entries.insert(inner).second) << entry->text().toStdString();
            }
        }
    }
}

TEST(MenuTextWithMnemonic, MarksTheLetterAndKeepsAmpersandsOfTheText)
{
    EXPECT_EQ(MenuTextWithMnemonic(kGerman, 0), QStringLiteral("&Datei"));
    EXPECT_EQ(MenuTextWithMnemonic(kEnglish, 4), QStringLiteral("E&xit Program"));
    EXPECT_EQ(MenuTextWithMnemonic(kGerman, 4), QStringLiteral("Programm &beenden"));
    // A key without a letter, or outside the table, stays as it is.
    EXPECT_EQ(MenuTextWithMnemonic(kGerman, 50), QStringLiteral("Verbinden"));
    EXPECT_EQ(MenuTextWithMnemonic(kEnglish, 999), QString());
}

// A key does what its button does, and nothing while the button is hidden
// or disabled (a busy window must not start a second operation by key).
TEST_F(MainWindowFinishTest, ShortcutsClickOnlyUsableButtons)
{
    const std::map<QString, QKeySequence> keys = {
        {QStringLiteral("cmdOpen"), QKeySequence::Open},
        {QStringLiteral("cmdSave"), QKeySequence::Save},
        {QStringLiteral("cmdprint"), QKeySequence::Print},
        {QStringLiteral("cmdClipboard"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
        {QStringLiteral("cmdConnect"), QKeySequence(Qt::CTRL | Qt::Key_B)},
    };
    EXPECT_EQ(ui().mnuEnd->shortcut(), QKeySequence(QKeySequence::Quit));
    EXPECT_EQ(ui().mnuHelp1->shortcut(), QKeySequence(QKeySequence::HelpContents));
    for (const auto& [name, key] : keys) {
        auto* shortcut = window.findChild<QShortcut*>(QStringLiteral("key_") + name);
        ASSERT_NE(shortcut, nullptr) << name.toStdString();
        EXPECT_EQ(shortcut->key(), key) << name.toStdString();
        auto* button = window.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr);
        // Keep the real command from running: only the click is counted.
        QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
        QSignalSpy clicks(button, &QPushButton::clicked);
        for (const bool visible : {false, true}) {
            for (const bool enabled : {false, true}) {
                for (QWidget* w = button; w && w != &window; w = w->parentWidget())
                    w->setVisible(true);
                button->setVisible(visible);
                button->setEnabled(enabled);
                clicks.clear();
                emit shortcut->activated();
                EXPECT_EQ(clicks.count(), visible && enabled ? 1 : 0)
                    << name.toStdString() << " visible " << visible << " enabled " << enabled;
            }
        }
    }
}

// Finds the message box the window opens, notes its buttons and answers it;
// closes it after a bounded number of looks so no test can hang on it.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer)
        : answer_(answer)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start();
    }
    QStringList buttons;
    QString text;

private:
    void Look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box && ++looks_ < kMaxLooks)
            return;
        timer_.stop();
        if (!box)
            return;
        text = box->text();
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        if (QAbstractButton* b = box->button(answer_))
            b->click();
        else
            box->reject();
    }
    static constexpr int kMaxLooks = 1000;
    QMessageBox::StandardButton answer_;
    QTimer timer_;
    int looks_ = 0;
};

struct BoxRow {
    int Language;
    QMessageBox::StandardButton Answer;
    bool TableDeleted;
    const char16_t* Question;
    QStringList Buttons;
};

TEST_F(MainWindowFinishTest, WindowQuestionsHaveButtonsOfTheProgramsLanguage)
{
    const BoxRow rows[] = {
        {kGerman,
         QMessageBox::No,
         false,
         u"Wollen Sie die Tabelle wirklich löschen?",
         {QStringLiteral("&Ja"), QStringLiteral("&Nein")}},
        {kGerman,
         QMessageBox::Yes,
         true,
         u"Wollen Sie die Tabelle wirklich löschen?",
         {QStringLiteral("&Ja"), QStringLiteral("&Nein")}},
        {kEnglish,
         QMessageBox::No,
         false,
         u"Do you really want to delete this table?",
         {QStringLiteral("&Yes"), QStringLiteral("&No")}},
    };
    window.SetPrompt(nullptr); // the window's own message boxes
    for (const BoxRow& row : rows) {
        session.SetLanguage(row.Language);
        session.Table.state.MsgAnswer.clear();
        BoxAnswerer answerer(row.Answer);
        window.table().cmdFlexTabelleloeschen_Click();
        EXPECT_EQ(answerer.text, QString::fromUtf16(row.Question));
        QStringList shown = answerer.buttons;
        shown.sort();
        QStringList expected = row.Buttons;
        expected.sort();
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(session.Table.state.MsgAnswer, row.TableDeleted ? QStringLiteral("6") : QStringLiteral("7"));
    }
}

TEST(MessageBoxPrompt, ButtonsFollowTheLanguageAndEscapeAnswersNo)
{
    int language = kGerman;
    MessageBoxPrompt prompt(nullptr, [&language] { return language; });
    QStringList seen;
    QMessageBox::StandardButton press = QMessageBox::Yes;
    prompt.SetOnShow([&](QMessageBox& box) {
        seen.clear();
        for (QAbstractButton* b : box.buttons())
            seen << b->text();
        seen.sort();
        QTimer::singleShot(0, &box, [&box, press] {
            if (press == QMessageBox::Escape)
                box.reject();
            else
                box.button(press)->click();
        });
    });
    EXPECT_TRUE(prompt.AskYesNo(QStringLiteral("T"), QStringLiteral("Frage?"), Prompt::Icon::Question));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
    press = QMessageBox::No;
    EXPECT_FALSE(prompt.AskYesNo(QStringLiteral("T"), QStringLiteral("Frage?"), Prompt::Icon::Question));
    press = QMessageBox::Escape;
    EXPECT_FALSE(prompt.AskYesNo(QStringLiteral("T"), QStringLiteral("Frage?"), Prompt::Icon::None));
    language = kEnglish;
    press = QMessageBox::Yes;
    EXPECT_TRUE(prompt.AskYesNo(QStringLiteral("T"), QStringLiteral("Question?"), Prompt::Icon::Question));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("&No"), QStringLiteral("&Yes")}));
    press = QMessageBox::Ok;
    prompt.Tell(QStringLiteral("T"), QStringLiteral("Note"), Prompt::Icon::Information);
    EXPECT_EQ(seen, QStringList{QStringLiteral("OK")});
}

} // namespace
} // namespace qc

namespace qc {
namespace {

// Run once as it is and once with the screen scaled to 200 % (see the test
// list): the status pictures and the window icon have a pixel for every
// device pixel.
TEST_F(MainWindowFinishTest, PicturesAreSharpOnScaledScreens)
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        ASSERT_EQ(qApp->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
    for (const char* name : {"picBth", "picBthBlitz", "picUsb", "BattIcon", "picQuen"}) {
        auto* box = window.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr) << name;
        const QPixmap picture = box->pixmap();
        ASSERT_FALSE(picture.isNull()) << name;
        const qreal ratio = box->devicePixelRatioF();
        EXPECT_EQ(picture.devicePixelRatio(), ratio) << name;
        // Aspect ratio kept: one side fills the box in device pixels.
        const QSize device = box->size() * ratio;
        EXPECT_TRUE(picture.width() == device.width() || picture.height() == device.height())
            << name << " " << picture.width() << "x" << picture.height();
    }
    const QList<QSize> sizes = window.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(64, 64)) && sizes.contains(QSize(256, 256)));
}

} // namespace
} // namespace qc
