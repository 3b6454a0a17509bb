#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QPrinter;

namespace qc {

class frmTransfer;

// The file and output buttons of the main window: save and open a
// measurement file, copy the report to the clipboard, hand it to the word
// processor, print it. The work is done by the report and file code; this
// binds it to the buttons, the dialogs and the message boxes.
class ReportCommands : public QObject {
    Q_OBJECT
public:
    // The dialogs and the desktop, replaceable so tests can answer them.
    struct Desktop {
        // The chosen path; empty when cancelled.
        std::function<QString(QWidget* parent, const QString& folder)> saveFileName;
        std::function<QString(QWidget* parent, const QString& folder)> openFileName;
        // False when cancelled.
        std::function<bool(QWidget* parent, QPrinter& printer)> choosePrinter;
        // False when no program opens the document.
        std::function<bool(const QUrl& document)> openDocument;
    };

    explicit ReportCommands(frmTransfer& window);

    void SetDesktop(Desktop desktop) { desktop_ = std::move(desktop); }

    void cmdSave_Click();
    void cmdOpen_Click();
    void cmdClipboard_Click();
    void cmdWord_Click();
    void cmdprint_Click();

    // Builds the report of the shown table in `mode` (project data reloaded
    // first) and shows the statistics as the material switch left them.
    QString FillReportText(QStringView mode);

    // Where the last word-processor document was saved.
    const QString& LastDocument() const { return lastDocument_; }

private:
    void Tell(const QString& text) const;
    QString GaugeNumber() const;

    frmTransfer& window_;
    Desktop desktop_;
    QString lastDocument_;
};

} // namespace qc
