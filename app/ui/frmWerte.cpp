#include "ui/frmWerte.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "data/limits_check.h"
#include "shell/prompt.h"
#include "shell/texts.h"

namespace qc {

namespace {

constexpr int kSaveKey = 43;   // MenuTexts "Speichern"
constexpr int kDeleteKey = 44; // MenuTexts "Löschen"
constexpr int kTargetKey = 45; // MessageTexts "Sollwert"

} // namespace

frmWerte::frmWerte(Limits& limits, int language, const QString& profileRule, Prompt& prompt, const QLocale& locale,
                   QWidget* parent)
    : QDialog(parent)
    , limits_(limits)
    , language_(language)
    , prompt_(prompt)
    , locale_(locale)
{
    setObjectName(QStringLiteral("frmWerte"));
    BuildLayout(profileRule);
    ShowValues();
}

void frmWerte::BuildLayout(const QString& profileRule)
{
    setWindowTitle(MessageText(language_, kCaptionTextKey));
    Frame1 = new QGroupBox(MessageText(language_, limit_msg::kLimitsCaption));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    txtMin = named(new QLineEdit, "txtMin");
    txtMax = named(new QLineEdit, "txtMax");
    txtSollwert = named(new QLineEdit, "txtSollwert");
    lblMin = new QLabel(QStringLiteral("Min Limit:"));
    lblMax = new QLabel(QStringLiteral("Max Limit:"));
    lblSollwert = new QLabel(MessageText(language_, kTargetKey));
    chk8020 = named(new QCheckBox(QStringLiteral("80/20")), "chk8020");
    cmdSpeichern = named(new QPushButton(MenuText(language_, kSaveKey)), "cmdSpeichern");
    cmdLoeschen = named(new QPushButton(MenuText(language_, kDeleteKey)), "cmdLoeschen");
    cmdInfo = named(new QPushButton(QStringLiteral("Info")), "cmdInfo");

    auto* grid = new QGridLayout(Frame1);
    grid->addWidget(lblMin, 0, 0);
    grid->addWidget(txtMin, 0, 1);
    grid->addWidget(lblMax, 1, 0);
    grid->addWidget(txtMax, 1, 1);
    grid->addWidget(lblSollwert, 2, 0);
    grid->addWidget(txtSollwert, 2, 1);
    grid->addWidget(chk8020, 3, 0);
    grid->addWidget(cmdInfo, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdLoeschen);
    buttons->addWidget(cmdSpeichern);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Frame1);
    main->addLayout(buttons);

    const bool ruleShown = profileRule != u"-";
    chk8020->setVisible(ruleShown);
    cmdInfo->setVisible(ruleShown);

    for (QLineEdit* box : {txtMin, txtMax, txtSollwert})
        box->installEventFilter(this);
    connect(chk8020, &QCheckBox::clicked, this, &frmWerte::chk8020_Click);
    connect(cmdLoeschen, &QPushButton::clicked, this, &frmWerte::cmdLoeschen_Click);
    connect(cmdSpeichern, &QPushButton::clicked, this, &frmWerte::cmdSpeichern_Click);
    connect(cmdInfo, &QPushButton::clicked, this, &frmWerte::cmdInfo_Click);
}

void frmWerte::ShowValues()
{
    txtMin->setText(LimitText(limits_.MinLimit, locale_));
    txtMax->setText(LimitText(limits_.MaxLimit, locale_));
    txtSollwert->setText(LimitText(limits_.TargetValue, locale_));
    chk8020->setChecked(limits_.Rule8020);
}

QLineEdit* frmWerte::BoxEdit(Box box) const
{
    switch (box) {
    case Box::Min:
        return txtMin;
    case Box::Max:
        return txtMax;
    case Box::Target:
        break;
    }
    return txtSollwert;
}

void frmWerte::Tell(const QString& text, bool information)
{
    prompt_.Tell(MessageText(language_, kCaptionTextKey), text,
                 information ? Prompt::Icon::Information : Prompt::Icon::None);
}

bool frmWerte::ValidateBox(Box box)
{
    QLineEdit* edit = BoxEdit(box);
    const LimitEntry entry = ValidateLimitEntry(edit->text(), locale_);
    if (entry.kind == LimitEntry::NotNumeric) {
        Tell(MessageText(language_, limit_msg::kNumericRequired));
        return false;
    }
    if (entry.kind == LimitEntry::Negative) {
        Tell(MessageText(language_, limit_msg::kOnlyPositive));
        edit->setText(entry.text);
    }
    double& value = box == Box::Min ? limits_.MinLimit : box == Box::Max ? limits_.MaxLimit : limits_.TargetValue;
    QString& text = box == Box::Min   ? limits_.MinLimitText
                    : box == Box::Max ? limits_.MaxLimitText
                                      : limits_.TargetText;
    value = entry.value;
    text = entry.text;
    if (entry.kind != LimitEntry::Empty)
        CheckConsistency();
    return true;
}

void frmWerte::CheckConsistency()
{
    const auto messages = CheckLimits(limits_, chk8020->isChecked(), locale_);
    for (const LimitMessage& m : messages) {
        if (m.key == limit_msg::kMinAdjustedFrom)
            txtMin->setText(limits_.MinLimitText);
        Tell(LimitMessageText(m, MessageText(language_, m.key), MessageText(language_, limit_msg::kMinAdjustedTo),
                              locale_));
    }
}

void frmWerte::chk8020_Click()
{
    limits_.Rule8020 = chk8020->isChecked();
    CheckConsistency();
}

void frmWerte::cmdLoeschen_Click()
{
    limits_.MinLimit = limits_.MaxLimit = limits_.TargetValue = 0;
    limits_.MinLimitText = limits_.MaxLimitText = limits_.TargetText = QStringLiteral("0");
    for (QLineEdit* box : {txtMin, txtMax, txtSollwert})
        box->setText(QStringLiteral("0"));
    chk8020->setChecked(false);
    limits_.Rule8020 = false;
}

void frmWerte::cmdSpeichern_Click()
{
    limitsChanged_ = true;
    accept();
}

void frmWerte::cmdInfo_Click() { Tell(Rule8020InfoText(language_), true); }

bool frmWerte::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !validating_) {
        const Box box = watched == txtMin ? Box::Min : watched == txtMax ? Box::Max : Box::Target;
        validating_ = true;
        const bool ok = ValidateBox(box);
        validating_ = false;
        if (!ok)
            QTimer::singleShot(0, BoxEdit(box), [edit = BoxEdit(box)] { edit->setFocus(); });
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qc
