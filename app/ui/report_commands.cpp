#include "ui/report_commands.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>

#include "data/measurement_file.h"
#include "data/record_text.h"
#include "output/report_docx.h"
#include "output/report_print.h"
#include "output/report_text.h"
#include "shell/app_identity.h"
#include "shell/session.h"
#include "shell/table_controller.h"
#include "shell/texts.h"

namespace qc {

namespace {

const QString kOpenWordPrefix = QStringLiteral("Open Word:");

ReportCommands::Desktop SystemDesktop()
{
    ReportCommands::Desktop d;
    d.saveFileName = [](QWidget* parent, const QString& folder) {
        return QFileDialog::getSaveFileName(parent, QString(), folder, mes::kDialogFilter);
    };
    d.openFileName = [](QWidget* parent, const QString& folder) {
        return QFileDialog::getOpenFileName(parent, QString(), folder, mes::kDialogFilter);
    };
    d.choosePrinter = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    d.openDocument = [](const QUrl& document) { return QDesktopServices::openUrl(document); };
    return d;
}

} // namespace

ReportCommands::ReportCommands(Session& session, TableController& table, ReportWindow& window, Prompt& prompt)
    : session_(session)
    , table_(table)
    , window_(window)
    , prompt_(&prompt)
    , desktop_(SystemDesktop())
{
}

int ReportCommands::Language() const { return session_.Language(); }

void ReportCommands::Tell(const QString& text) const
{
    prompt_->Tell(MessageText(Language(), kCaptionTextKey), text, Prompt::Icon::None);
}

void ReportCommands::TellAndLog(const QString& text) const
{
    Tell(text);
    session_.Log.WriteLog(text);
}

QString ReportCommands::GaugeNumber() const { return session_.Gauge.identity.GaugeNumber; }

QString ReportCommands::FillReportText(QStringView mode)
{
    if (const auto failure = session_.Voreinstellungen(settings_mode::ProjectDataLoad))
        prompt_->Tell(MainCaption(), failure->Message(), Prompt::Icon::None);
    const QDateTime now = session_.Clock().CurrentDateTime();
    const QTime time = window_.ProjectTime().value_or(now.time());
    const ReportProject project = ProjectFromSettings(session_.Settings, time, now.date());
    // The pulse series of trigger memories come with their download.
    const QString report = qc::FillReportText(mode, table_.Data(), project, Language());
    table_.RecalcStatistics(); // the list shows the material the report left selected
    return report;
}

void ReportCommands::cmdSave_Click()
{
    const QString& dataDir = session_.Folders.DataDir;
    if (const auto error = EnsureGaugeFolder(dataDir, GaugeNumber())) {
        Tell(error->Message(Language()));
        return;
    }
    const QString path =
        MesSavePath(desktop_.saveFileName(window_.DialogParent(), GaugeFolder(dataDir, GaugeNumber())));
    if (path.isEmpty())
        return;
    const QString report = FillReportText(report_mode::All);
    if (const auto error = SaveMesFile(path, MesFileBytes(report)))
        Tell(error->Message(Language()));
}

void ReportCommands::cmdOpen_Click()
{
    const QString& dataDir = session_.Folders.DataDir;
    if (const auto error = EnsureGaugeFolder(dataDir, GaugeNumber())) {
        Tell(error->Message(Language()));
        return;
    }
    const QString path = desktop_.openFileName(window_.DialogParent(), GaugeFolder(dataDir, GaugeNumber()));
    if (path.isEmpty() || path == u" ")
        return;
    const MesReadResult read = ReadMesFile(path, {IsDateMode(session_.Gauge.profile), QLocale::system()});
    if (read.error) {
        Tell(read.error->Message(Language()));
        return;
    }
    const int rows = TakeMesReadings(table_.Data(), read.content.rows, session_.Clock().CurrentDateTime());
    table_.ShowMeasurementFile(path, rows);
    if (read.content.Truncated())
        Tell(MesTruncatedMessage(Language(), read.content.dataLines));
}

void ReportCommands::cmdClipboard_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(FillReportText(report_mode::All));
}

void ReportCommands::cmdWord_Click()
{
    window_.SetReportBusy(true);
    const QString report = FillReportText(report_mode::All);
    const QString folder = ExportFolder(session_.Folders.DataDir, GaugeNumber());
    std::optional<QString> error;
    QString path;
    if (!QDir().mkpath(folder)) {
        error = NoticeText(Language(), kNoticeFolderNotCreated) + folder;
    } else {
        path = NewReportDocxPath(folder, session_.Clock().CurrentDateTime());
        error = WriteReportDocx(path, report);
    }
    if (error) {
        TellAndLog(kOpenWordPrefix + *error);
        window_.SetReportBusy(false);
        return;
    }
    lastDocument_ = path;
    if (!desktop_.openDocument(QUrl::fromLocalFile(path)))
        TellAndLog(kOpenWordPrefix + NoticeText(Language(), kNoticeDocumentNotOpened) + QDir::toNativeSeparators(path));
    window_.SetReportBusy(false);
}

void ReportCommands::cmdprint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!desktop_.choosePrinter(window_.DialogParent(), printer))
        return;
    window_.SetReportBusy(true);
    const QString report = FillReportText(report_mode::All);
    QString error;
    if (!PaintReport(report, printer, &error))
        TellAndLog(NoticeText(Language(), kNoticePrintFailed) + error);
    window_.SetReportBusy(false);
}

} // namespace qc
