#pragma once

#include <QString>
#include <QStringView>
#include <QTime>
#include <QUrl>
#include <functional>
#include <optional>

#include "shell/prompt.h"

class QPrinter;
class QWidget;

namespace qc {

class Session;
class TableController;

// What the report commands need of the main window: a parent for their
// dialogs, the working controls, and the time of the project window.
class ReportWindow {
public:
    virtual ~ReportWindow() = default;

    virtual QWidget* DialogParent() = 0;
    // The working controls off while a report is written, on again after.
    virtual void SetReportBusy(bool busy) = 0;
    // The time the project window shows; none before it was first opened.
    virtual std::optional<QTime> ProjectTime() const = 0;
};

// The file and output buttons of the main window: save and open a
// measurement file, copy the report to the clipboard, hand it to the word
// processor, print it. The work is done by the report and file code on the
// session's table; this binds it to the dialogs and the message boxes.
class ReportCommands {
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

    ReportCommands(Session& session, TableController& table, ReportWindow& window, Prompt& prompt);
    ReportCommands(const ReportCommands&) = delete;
    ReportCommands& operator=(const ReportCommands&) = delete;

    void SetDesktop(Desktop desktop) { desktop_ = std::move(desktop); }
    // Message boxes go through this; tests put in their own.
    void SetPrompt(Prompt& prompt) { prompt_ = &prompt; }

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
    // Tells and logs a failure of the word processor or printer output.
    void TellAndLog(const QString& text) const;
    QString GaugeNumber() const;
    int Language() const;

    Session& session_;
    TableController& table_;
    ReportWindow& window_;
    Prompt* prompt_;
    Desktop desktop_;
    QString lastDocument_;
};

} // namespace qc
