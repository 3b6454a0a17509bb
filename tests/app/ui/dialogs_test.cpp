#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "../shell/scripted_prompt.h"
#include "dialog_controls.h"
#include "ui/frmTastatur.h"
#include "ui/frmWerte.h"

namespace qc {
namespace {

const QLocale kPoint(QLocale::English, QLocale::UnitedStates);
const QLocale kComma(QLocale::German, QLocale::Germany);

TEST(frmWerte, ShowsTheLimitsAndHidesTheRuleWhenTheGaugeHasNone)
{
    test::ScriptedPrompt prompt;
    Limits limits{10, {}, 250.5, {}, 120, {}, true};
    frmWerte withRule(limits, 0, QStringLiteral("+"), prompt, kComma);
    EXPECT_EQ(test::Named<QLineEdit>(withRule, QStringLiteral("txtMin"))->text(), QStringLiteral("10"));
    EXPECT_EQ(test::Named<QLineEdit>(withRule, QStringLiteral("txtMax"))->text(), QStringLiteral("250,5"));
    EXPECT_EQ(test::Named<QLineEdit>(withRule, QStringLiteral("txtSollwert"))->text(), QStringLiteral("120"));
    EXPECT_TRUE(test::Named<QCheckBox>(withRule, QStringLiteral("chk8020"))->isChecked());
    EXPECT_FALSE(test::Named<QCheckBox>(withRule, QStringLiteral("chk8020"))->isHidden());
    EXPECT_FALSE(test::Named<QPushButton>(withRule, QStringLiteral("cmdInfo"))->isHidden());
    EXPECT_EQ(withRule.windowTitle(), QStringLiteral("Quen Connect V1.10"));
    EXPECT_EQ(test::Named<QPushButton>(withRule, QStringLiteral("cmdSpeichern"))->text(), QStringLiteral("Speichern"));
    EXPECT_EQ(test::Named<QPushButton>(withRule, QStringLiteral("cmdLoeschen"))->text(),
              QStringLiteral("L\u00F6schen"));

    frmWerte withoutRule(limits, 1, QStringLiteral("-"), prompt, kPoint);
    EXPECT_TRUE(test::Named<QCheckBox>(withoutRule, QStringLiteral("chk8020"))->isHidden());
    EXPECT_TRUE(test::Named<QPushButton>(withoutRule, QStringLiteral("cmdInfo"))->isHidden());
    EXPECT_EQ(test::Named<QPushButton>(withoutRule, QStringLiteral("cmdSpeichern"))->text(), QStringLiteral("Save"));
}

TEST(frmWerte, ValidationMessages)
{
    test::ScriptedPrompt prompt;
    Limits limits;
    frmWerte dlg(limits, 0, QStringLiteral("+"), prompt, kPoint);
    test::Named<QLineEdit>(dlg, QStringLiteral("txtMin"))->setText(QStringLiteral("abc"));
    EXPECT_FALSE(dlg.ValidateBox(frmWerte::Box::Min));
    test::Named<QLineEdit>(dlg, QStringLiteral("txtMax"))->setText(QStringLiteral("-300"));
    EXPECT_TRUE(dlg.ValidateBox(frmWerte::Box::Max));
    EXPECT_EQ(test::Named<QLineEdit>(dlg, QStringLiteral("txtMax"))->text(), QStringLiteral("300"));
    EXPECT_DOUBLE_EQ(limits.MaxLimit, 300);
    test::Named<QLineEdit>(dlg, QStringLiteral("txtMin"))->setText(QStringLiteral("400"));
    dlg.ValidateBox(frmWerte::Box::Min);
    test::Named<QLineEdit>(dlg, QStringLiteral("txtSollwert"))->setText(QString());
    dlg.ValidateBox(frmWerte::Box::Target); // empty: nothing checked
    EXPECT_EQ(prompt.told,
              (QStringList{QStringLiteral("Eingabe muss numerisch sein!"), QStringLiteral("Nur positive Werte erlaubt"),
                           QStringLiteral("Minimum gr\u00F6\u00DFer als Maximum!")}));
    EXPECT_DOUBLE_EQ(limits.MinLimit, 400); // no message undoes the entry
}

TEST(frmWerte, Rule8020AdjustsTheMinimum)
{
    test::ScriptedPrompt prompt;
    Limits limits{50, QStringLiteral("50"), 0, {}, 0, {}, false};
    frmWerte dlg(limits, 0, QStringLiteral("+"), prompt, kPoint);
    test::Named<QCheckBox>(dlg, QStringLiteral("chk8020"))->setChecked(true);
    dlg.chk8020_Click();
    EXPECT_EQ(prompt.told.last(), QStringLiteral("Eingabe Sollwert bei 80/20 Regel erforderlich"));
    test::Named<QLineEdit>(dlg, QStringLiteral("txtSollwert"))->setText(QStringLiteral("125"));
    dlg.ValidateBox(frmWerte::Box::Target);
    EXPECT_EQ(prompt.told.last(), QStringLiteral("Min Limit  an 80/20 Regel angepasst von 50 nach 100"));
    EXPECT_EQ(test::Named<QLineEdit>(dlg, QStringLiteral("txtMin"))->text(), QStringLiteral("100"));
    EXPECT_DOUBLE_EQ(limits.MinLimit, 100);
    EXPECT_TRUE(limits.Rule8020);

    dlg.cmdInfo_Click();
    EXPECT_TRUE(prompt.told.last().startsWith(QStringLiteral("Die 80/20 Regel nach ISO 19840 :\r\n")));
    EXPECT_EQ(prompt.icons.back(), Prompt::Icon::Information);

    dlg.cmdLoeschen_Click();
    EXPECT_DOUBLE_EQ(limits.MinLimit, 0);
    EXPECT_DOUBLE_EQ(limits.TargetValue, 0);
    EXPECT_FALSE(test::Named<QCheckBox>(dlg, QStringLiteral("chk8020"))->isChecked());
    EXPECT_EQ(test::Named<QLineEdit>(dlg, QStringLiteral("txtMax"))->text(), QStringLiteral("0"));
    EXPECT_FALSE(dlg.LimitsChanged());
    dlg.cmdSpeichern_Click();
    EXPECT_TRUE(dlg.LimitsChanged());
}

TEST(frmWerte, FocusLossValidates)
{
    test::ScriptedPrompt prompt;
    Limits limits;
    frmWerte dlg(limits, 1, QStringLiteral("+"), prompt, kPoint);
    dlg.show();
    test::Named<QLineEdit>(dlg, QStringLiteral("txtMin"))->setFocus();
    test::Named<QLineEdit>(dlg, QStringLiteral("txtMin"))->setText(QStringLiteral("x"));
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(test::Named<QLineEdit>(dlg, QStringLiteral("txtMin")), &out);
    EXPECT_EQ(prompt.told, QStringList{QStringLiteral("Numeric field required!")});
}

TEST(frmTastatur, OkStoresTheChoice)
{
    KeyForwardingSettings s;
    s.Enabled = true;
    s.TargetApplication = QStringLiteral("/bin/old");
    s.Options = QStringLiteral("1010");
    s.EndOfLineKey = QStringLiteral("ENTER");
    bool started = true;
    test::ScriptedPrompt prompt;
    frmTastatur dlg(s, started, 0, prompt, [](QWidget*) { return QStringLiteral("/bin/new"); });
    EXPECT_TRUE(test::Named<QCheckBox>(dlg, QStringLiteral("chkNr"))->isChecked());
    EXPECT_FALSE(test::Named<QCheckBox>(dlg, QStringLiteral("chkDatum"))->isChecked());
    EXPECT_TRUE(test::Named<QCheckBox>(dlg, QStringLiteral("chkEinheit"))->isChecked());
    EXPECT_TRUE(test::Named<QRadioButton>(dlg, QStringLiteral("optEnter"))->isChecked());
    EXPECT_EQ(test::Named<QGroupBox>(dlg, QStringLiteral("Frame1"))->title(), QStringLiteral("Tastatur Events senden"));
    dlg.txtAnwendung_Click();
    EXPECT_EQ(test::Named<QLineEdit>(dlg, QStringLiteral("txtAnwendung"))->text(), QStringLiteral("/bin/new"));
    test::Named<QCheckBox>(dlg, QStringLiteral("chkDatum"))->setChecked(true);
    test::Named<QCheckBox>(dlg, QStringLiteral("chkMaterial"))->setChecked(true);
    test::Named<QRadioButton>(dlg, QStringLiteral("optKeins"))->setChecked(true);
    dlg.cmdOk_Click();
    EXPECT_EQ(s.TargetApplication, QStringLiteral("/bin/new"));
    EXPECT_FALSE(started);
    EXPECT_EQ(s.Options, QStringLiteral("1111"));
    EXPECT_EQ(s.EndOfLineKey, QString());
    EXPECT_TRUE(s.Enabled);
}

TEST(frmTastatur, EmptyPathSwitchesForwardingOff)
{
    KeyForwardingSettings s;
    s.Options.clear();
    bool started = false;
    test::ScriptedPrompt prompt;
    frmTastatur dlg(s, started, 1, prompt);
    EXPECT_EQ(s.Options, QStringLiteral("0000"));
    EXPECT_TRUE(test::Named<QRadioButton>(dlg, QStringLiteral("optKeins"))->isChecked());
    EXPECT_EQ(test::Named<QRadioButton>(dlg, QStringLiteral("optKeins"))->text(), QStringLiteral("None"));
    test::Named<QCheckBox>(dlg, QStringLiteral("chkAktiv"))->setChecked(true);
    test::Named<QLineEdit>(dlg, QStringLiteral("txtAnwendung"))->setText(QStringLiteral(" "));
    dlg.cmdOk_Click();
    EXPECT_FALSE(test::Named<QCheckBox>(dlg, QStringLiteral("chkAktiv"))->isChecked());
    EXPECT_FALSE(s.Enabled);
}

// A path the key forwarding file cannot hold is refused at entry: ";" is
// the file's separator, and characters outside its code page would be "?".
TEST(frmTastatur, APathTheFileCannotHoldIsRefused)
{
    const struct {
        QString Path;
        QString Told;
    } cases[] = {
        {QStringLiteral("/opt/a;b/tool"),
         QStringLiteral("Der Pfad der Anwendung darf kein \";\" enthalten: /opt/a;b/tool")},
        {QStringLiteral("/opt/\u2713/\u65E5\u672C/\u2713"),
         QStringLiteral("Diese Zeichen k\u00F6nnen nicht gespeichert werden: \u2713 \u65E5 \u672C")},
        {QStringLiteral("/opt/\U0001F600"),
         QStringLiteral("Diese Zeichen k\u00F6nnen nicht gespeichert werden: \U0001F600")},
    };
    for (const auto& c : cases) {
        KeyForwardingSettings s{true, QStringLiteral("/bin/old"), QStringLiteral("0000"), QString()};
        bool started = true;
        test::ScriptedPrompt prompt;
        frmTastatur dlg(s, started, 0, prompt);
        test::Named<QLineEdit>(dlg, QStringLiteral("txtAnwendung"))->setText(c.Path);
        dlg.cmdOk_Click();
        EXPECT_EQ(prompt.told, QStringList{c.Told});
        EXPECT_EQ(s.TargetApplication, QStringLiteral("/bin/old")); // nothing taken
        EXPECT_TRUE(started);
        EXPECT_NE(dlg.result(), QDialog::Accepted);
    }
    KeyForwardingSettings s{true, QStringLiteral("/bin/old"), QStringLiteral("0000"), QString()};
    bool started = true;
    test::ScriptedPrompt prompt;
    frmTastatur dlg(s, started, 0, prompt);
    test::Named<QLineEdit>(dlg, QStringLiteral("txtAnwendung"))
        ->setText(QStringLiteral("/opt/M\u00FCller \u20AC/tool")); // the code page holds these
    dlg.cmdOk_Click();
    EXPECT_TRUE(prompt.told.isEmpty());
    EXPECT_EQ(s.TargetApplication, QStringLiteral("/opt/M\u00FCller \u20AC/tool"));
}

} // namespace
} // namespace qc

#include "shell/key_sender.h"

namespace qc {
namespace {

TEST(KeySender, WithoutADisplayNothingIsTyped)
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    KeySender sender;
    sender.TargetStarted = true;
    sender.TargetTaskId = QCoreApplication::applicationPid();
    EXPECT_EQ(sender.Send({QStringLiteral("12,3")}), KeySender::Problem::NoDisplay);
    EXPECT_EQ(sender.Send({}), KeySender::Problem::Ok); // nothing to type is no problem
    KeyForwardingSettings off;
    off.TargetApplication = QStringLiteral("/bin/true");
    EXPECT_EQ(sender.StartTarget(off), KeySender::Problem::Ok); // forwarding off: not started
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
}

} // namespace
} // namespace qc
