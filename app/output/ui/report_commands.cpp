#include "output/ui/report_commands.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

#include "data/measurement_file.h"
#include "data/record_text.h"
#include "data/ui/table_controller.h"
#include "output/report_docx.h"
#include "output/report_print.h"
#include "output/report_text.h"
#include "shell/frmProjekt.h"
#include "shell/frmTransfer.h"
#include "shell/texts.h"

namespace qc {

namespace {

const QString kOpenWordPrefix = QStringLiteral("Open Word:");

QString Words(int language, const char16_t* german, const char16_t* english)
{
    return QString::fromUtf16(language == kEnglish ? english : german);
}

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

ReportCommands::ReportCommands(frmTransfer& window)
    : QObject(&window)
    , window_(window)
    , desktop_(SystemDesktop())
{
    const MainWindowControls& ui = window_.controls();
    connect(ui.cmdSave, &QPushButton::clicked, this, &ReportCommands::cmdSave_Click);
    connect(ui.cmdOpen, &QPushButton::clicked, this, &ReportCommands::cmdOpen_Click);
    connect(ui.cmdClipboard, &QPushButton::clicked, this, &ReportCommands::cmdClipboard_Click);
    connect(ui.cmdWord, &QPushButton::clicked, this, &ReportCommands::cmdWord_Click);
    connect(ui.cmdprint, &QPushButton::clicked, this, &ReportCommands::cmdprint_Click);
}

void ReportCommands::Tell(const QString& text) const
{
    window_.ShowMessage(MessageText(window_.Language(), kCaptionTextKey), text);
}

QString ReportCommands::GaugeNumber() const { return window_.gauge().identity.GaugeNumber; }

QString ReportCommands::FillReportText(QStringView mode)
{
    window_.Voreinstellungen(settings_mode::ProjectDataLoad);
    const frmProjekt* projekt = window_.findChild<frmProjekt*>();
    const QTime time = projekt ? projekt->DTPTime->time() : QTime::currentTime();
    const ReportProject project = ProjectFromSettings(window_.settings(), time, QDate::currentDate());
    TableController& table = window_.table();
    // The pulse series of trigger memories come with their download.
    const QString report = qc::FillReportText(mode, table.Data(), project, window_.Language());
    table.RecalcStatistics(); // the list shows the material the report left selected
    return report;
}

void ReportCommands::cmdSave_Click()
{
    const QString& dataDir = window_.folders().DataDir;
    if (const auto error = EnsureGaugeFolder(dataDir, GaugeNumber())) {
        Tell(error->Message(window_.Language()));
        return;
    }
    const QString path = MesSavePath(desktop_.saveFileName(&window_, GaugeFolder(dataDir, GaugeNumber())));
    if (path.isEmpty())
        return;
    const QString report = FillReportText(report_mode::All);
    if (const auto error = SaveMesFile(path, MesFileBytes(report)))
        Tell(error->Message(window_.Language()));
}

void ReportCommands::cmdOpen_Click()
{
    const QString& dataDir = window_.folders().DataDir;
    if (const auto error = EnsureGaugeFolder(dataDir, GaugeNumber())) {
        Tell(error->Message(window_.Language()));
        return;
    }
    const QString path = desktop_.openFileName(&window_, GaugeFolder(dataDir, GaugeNumber()));
    if (path.isEmpty() || path == u" ")
        return;
    const MesReadResult read = ReadMesFile(path, {IsDateMode(window_.gauge().profile), QLocale::system()});
    if (read.error) {
        Tell(read.error->Message(window_.Language()));
        return;
    }
    TableController& table = window_.table();
    const int rows = TakeMesReadings(table.Data(), read.content.rows, QDateTime::currentDateTime());

    const MainWindowControls& ui = window_.controls();
    window_.TableMode = kMemorySlot;
    window_.MemoryOptionCaption = QFileInfo(path).fileName();
    window_.MemoryShown = true;
    ui.optFE->setText(MesMemoryCaption(path, rows));
    ui.optFE->show();
    ui.optFE->setChecked(true);
    table.FillMSFlexOne();
    for (QWidget* w : {static_cast<QWidget*>(ui.cmdprint), static_cast<QWidget*>(ui.cmdExcel),
                       static_cast<QWidget*>(ui.cmdClipboard), static_cast<QWidget*>(ui.cmdWord)})
        w->show();
    if (read.content.Truncated())
        Tell(MesTruncatedMessage(window_.Language(), read.content.dataLines));
}

void ReportCommands::cmdClipboard_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(FillReportText(report_mode::All));
}

void ReportCommands::cmdWord_Click()
{
    window_.Block_Buttons();
    const QString report = FillReportText(report_mode::All);
    const QString folder = ExportFolder(window_.folders().DataDir, GaugeNumber());
    std::optional<QString> error;
    QString path;
    if (!QDir().mkpath(folder)) {
        error = Words(window_.Language(), u"Der Ordner kann nicht angelegt werden: ", u"The folder cannot be created: ") +
                folder;
    } else {
        path = NewReportDocxPath(folder, QDateTime::currentDateTime());
        error = WriteReportDocx(path, report);
    }
    if (error) {
        const QString text = kOpenWordPrefix + *error;
        Tell(text);
        window_.WriteLog(text);
        window_.Unblock_Buttons();
        return;
    }
    lastDocument_ = path;
    if (!desktop_.openDocument(QUrl::fromLocalFile(path))) {
        const QString text = kOpenWordPrefix +
                             Words(window_.Language(), u"Kein Programm zum Öffnen gefunden. Das Dokument ist gespeichert in ",
                                   u"No program was found to open it. The document is saved in ") +
                             QDir::toNativeSeparators(path);
        Tell(text);
        window_.WriteLog(text);
    }
    window_.Unblock_Buttons();
}

void ReportCommands::cmdprint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!desktop_.choosePrinter(&window_, printer))
        return;
    window_.Block_Buttons();
    const QString report = FillReportText(report_mode::All);
    QString error;
    if (!PaintReport(report, printer, &error)) {
        const QString text = Words(window_.Language(), u"Drucken nicht möglich: ", u"Printing failed: ") + error;
        Tell(text);
        window_.WriteLog(text);
    }
    window_.Unblock_Buttons();
}

} // namespace qc
