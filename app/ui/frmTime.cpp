#include "ui/frmTime.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/app_identity.h"
#include "shell/texts.h"

namespace qc {
namespace {

constexpr int kDateTimeKey = 46;
constexpr int kTimeSetKey = 80;
constexpr int kUpdateKey = 85;

} // namespace

frmTime::frmTime(GaugeLink& link, int language, QWidget* parent)
    : QDialog(parent)
    , link_(link)
    , session_(link)
    , language_(language)
{
    setObjectName(QStringLiteral("frmTime"));
    txtDatumZeit = new QLineEdit;
    txtDatumZeit->setObjectName(QStringLiteral("txtDatumZeit"));
    txtDatumZeit->setReadOnly(true);
    lblErgebnis = new QLabel;
    lblErgebnis->setObjectName(QStringLiteral("lblErgebnis"));
    cmdUpdate = new QPushButton(MessageText(language, kUpdateKey));
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    auto* caption = new QLabel(MessageText(language, kDateTimeKey));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(txtDatumZeit);
    layout->addWidget(cmdUpdate);
    layout->addWidget(lblErgebnis);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmTime::cmdUpdate_Click);
}

void frmTime::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (started_)
        return;
    started_ = true;
    lblErgebnis->clear();
    setWindowTitle(MainCaption());
    // The loop runs from the event loop, not inside showing the dialog.
    QTimer::singleShot(0, this, &frmTime::RunClock);
}

void frmTime::RunClock()
{
    session_.Begin();
    session_.RunLoop(
        [this](const QString& text) {
            txtDatumZeit->setText(text);
            ++reads_;
        },
        [this] { return stop_; });
    if (closing_)
        Finish();
}

void frmTime::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        stop_ = true; // ends the loop; the dialog stays until closed
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmTime::cmdUpdate_Click()
{
    stop_ = true;
    cmdUpdate->setEnabled(false);
    QString sent;
    const RequestResult r = session_.Update(link_.Clock().CurrentDateTime(), sent);
    txtDatumZeit->setText(sent);
    lblErgebnis->setText(r.ok() ? MessageText(language_, kTimeSetKey) : r.Message(language_));
    link_.Clock().Delay(GaugeClockSession::kDonePause);
    closing_ = true;
    if (!session_.Running())
        Finish();
}

// Closing while the loop waits: the loop ends first, then the dialog.
void frmTime::closeEvent(QCloseEvent* event)
{
    stop_ = true;
    closing_ = true;
    if (session_.Running()) {
        event->ignore();
        return;
    }
    if (!finished_) {
        link_.Clock().Delay(GaugeClockSession::kClosePause);
        session_.End();
        finished_ = true;
    }
    QDialog::closeEvent(event);
}

void frmTime::reject()
{
    stop_ = true;
    closing_ = true;
    if (session_.Running())
        return; // closed when the loop has ended
    Finish();
}

void frmTime::Finish()
{
    if (!finished_) {
        session_.End();
        finished_ = true;
    }
    QDialog::done(QDialog::Accepted);
}

} // namespace qc
