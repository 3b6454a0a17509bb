#include "ui/frmTastatur.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "data/cp1252.h"
#include "data/key_forwarding.h"
#include "shell/prompt.h"
#include "shell/texts.h"

namespace qc {

namespace {

// MessageTexts keys of the dialog.
constexpr int kFrameKey = 62;
constexpr int kExplanationKey = 63;
constexpr int kActivateKey = 64;
constexpr int kApplicationKey = 65;
constexpr int kValuesKey = 66;
constexpr int kDateKey = 67;
constexpr int kLineEndKey = 68;
constexpr int kNoneKey = 69;
constexpr int kNumberKey = 70;
constexpr int kUnitKey = 2;
const QString kAllOff = QStringLiteral("0000");

QString DefaultChooser(QWidget* parent) { return QFileDialog::getOpenFileName(parent); }

} // namespace

frmTastatur::frmTastatur(KeyForwardingSettings& settings, bool& targetStarted, int language, Prompt& prompt,
                         FileChooser chooseFile, QWidget* parent)
    : QDialog(parent)
    , settings_(settings)
    , targetStarted_(targetStarted)
    , language_(language)
    , prompt_(prompt)
    , chooseFile_(chooseFile ? std::move(chooseFile) : FileChooser(DefaultChooser))
{
    setObjectName(QStringLiteral("frmTastatur"));
    BuildLayout();
    ShowSettings();
}

void frmTastatur::BuildLayout()
{
    setWindowTitle(MessageText(language_, kCaptionTextKey));
    Frame1 = new QGroupBox(MessageText(language_, kFrameKey));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblErklaerung = new QLabel(MessageText(language_, kExplanationKey));
    lblErklaerung->setObjectName(QStringLiteral("lblErklaerung"));
    lblErklaerung->setWordWrap(true);
    chkAktiv = new QCheckBox(MessageText(language_, kActivateKey));
    chkAktiv->setObjectName(QStringLiteral("chkAktiv"));
    lblAnwendung = new QLabel(MessageText(language_, kApplicationKey));
    lblAnwendung->setObjectName(QStringLiteral("lblAnwendung"));
    txtAnwendung = new QLineEdit;
    txtAnwendung->setObjectName(QStringLiteral("txtAnwendung"));
    txtAnwendung->installEventFilter(this);
    FrameWerte = new QGroupBox(MessageText(language_, kValuesKey));
    FrameWerte->setObjectName(QStringLiteral("FrameWerte"));
    chkNr = new QCheckBox(MessageText(language_, kNumberKey));
    chkNr->setObjectName(QStringLiteral("chkNr"));
    chkDatum = new QCheckBox(MessageText(language_, kDateKey));
    chkDatum->setObjectName(QStringLiteral("chkDatum"));
    chkEinheit = new QCheckBox(MessageText(language_, kUnitKey));
    chkEinheit->setObjectName(QStringLiteral("chkEinheit"));
    chkMaterial = new QCheckBox(QStringLiteral("Material"));
    chkMaterial->setObjectName(QStringLiteral("chkMaterial"));
    FrameZeilenende = new QGroupBox(MessageText(language_, kLineEndKey));
    FrameZeilenende->setObjectName(QStringLiteral("FrameZeilenende"));
    optEnter = new QRadioButton(QStringLiteral("Enter"));
    optEnter->setObjectName(QStringLiteral("optEnter"));
    optKeins = new QRadioButton(MessageText(language_, kNoneKey));
    optKeins->setObjectName(QStringLiteral("optKeins"));
    cmdOk = new QPushButton(QStringLiteral("OK"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));

    auto* values = new QHBoxLayout(FrameWerte);
    for (QCheckBox* c : {chkNr, chkDatum, chkEinheit, chkMaterial})
        values->addWidget(c);
    auto* lineEnd = new QHBoxLayout(FrameZeilenende);
    lineEnd->addWidget(optEnter);
    lineEnd->addWidget(optKeins);
    auto* frame = new QVBoxLayout(Frame1);
    frame->addWidget(lblErklaerung);
    frame->addWidget(chkAktiv);
    frame->addWidget(lblAnwendung);
    frame->addWidget(txtAnwendung);
    frame->addWidget(FrameWerte);
    frame->addWidget(FrameZeilenende);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Frame1);
    main->addWidget(cmdOk, 0, Qt::AlignRight);
    connect(cmdOk, &QPushButton::clicked, this, &frmTastatur::cmdOk_Click);
}

void frmTastatur::ShowSettings()
{
    if (settings_.Options.isEmpty())
        settings_.Options = kAllOff;
    chkAktiv->setChecked(settings_.Enabled);
    txtAnwendung->setText(settings_.TargetApplication);
    const QString& o = settings_.Options;
    auto on = [&o](int i) { return i < o.size() && o.at(i) == u'1'; };
    chkNr->setChecked(on(key_option::kNumber));
    chkDatum->setChecked(on(key_option::kDate));
    chkEinheit->setChecked(on(key_option::kUnit));
    chkMaterial->setChecked(on(key_option::kMaterial));
    // An empty line end means no key, as "KEINS" does.
    (settings_.EndOfLineKey == kLineEndEnter ? optEnter : optKeins)->setChecked(true);
}

// A path the settings file cannot hold is refused before anything changes:
// ";" separates the file's fields, and characters outside the code page
// would come back as "?".
void frmTastatur::cmdOk_Click()
{
    const QString refused = KeyPathProblem(txtAnwendung->text(), language_);
    if (!refused.isEmpty()) {
        prompt_.Tell(MessageText(language_, kCaptionTextKey), refused, Prompt::Icon::None);
        return;
    }
    if (optKeins->isChecked())
        settings_.EndOfLineKey.clear();
    if (optEnter->isChecked())
        settings_.EndOfLineKey = kLineEndEnter;
    settings_.Enabled = chkAktiv->isChecked();
    const QString path = txtAnwendung->text();
    if (path != settings_.TargetApplication && settings_.Enabled) {
        settings_.TargetApplication = path;
        targetStarted_ = false;
    }
    if (path.isEmpty() || path == u" ") {
        chkAktiv->setChecked(false);
        settings_.Enabled = false;
    }
    QString options = kAllOff;
    options[key_option::kNumber] = chkNr->isChecked() ? u'1' : u'0';
    options[key_option::kUnit] = chkEinheit->isChecked() ? u'1' : u'0';
    options[key_option::kMaterial] = chkMaterial->isChecked() ? u'1' : u'0';
    options[key_option::kDate] = chkDatum->isChecked() ? u'1' : u'0';
    settings_.Options = options;
    accept();
}

void frmTastatur::txtAnwendung_Click()
{
    const QString chosen = chooseFile_(this);
    if (!chosen.isEmpty())
        txtAnwendung->setText(chosen);
}

bool frmTastatur::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtAnwendung && event->type() == QEvent::MouseButtonRelease)
        txtAnwendung_Click();
    return QDialog::eventFilter(watched, event);
}

} // namespace qc
