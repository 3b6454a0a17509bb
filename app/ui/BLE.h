#pragma once

#include <QDialog>

#include "shell/prompt.h"
#include "shell/session.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace qc {

class GaugeConnection;
enum class LinkDisplay;

// The connection window: the device list of the scan, scan, connect and
// reconnect buttons, the status box and the instruction. It binds the
// gauge connection and keeps no link logic of its own. Loaded when first
// shown, afterwards only hidden.
class BLE : public QDialog {
    Q_OBJECT
public:
    BLE(GaugeConnection& gauge, Session& session, Prompt& prompt, QWidget* parent = nullptr);

    void SetPrompt(Prompt& prompt) { m_prompt = &prompt; }
    // Captions and the instruction in the session's language.
    void ApplyTexts();
    void ShowReconnectButton(bool shown);

    void cmdScan_Click();
    void cmdConnect_Click();
    void cmdReconnect_Click();
    void lstDevices_Click();

    // The connect button is locked this long after a click into the list.
    static constexpr int kListClickLockMillis = 1000;

    // Closing the window ends the wait in progress; the connect flow of the
    // main window then goes on without a connection.
    void reject() override;

private:
    void AddDevice(int index);
    void ShowDisplay(LinkDisplay display);
    void ShowReconnect(bool shown, const QString& caption);

    GaugeConnection& m_gauge;
    Session& m_session;
    Prompt* m_prompt;

    // The controls; each carries its name as objectName.
    QListWidget* lstDevices = nullptr;
    QPushButton* cmdScan = nullptr;
    QPushButton* cmdConnect = nullptr;
    QPushButton* cmdReconnect = nullptr;
    QLineEdit* txtStatus = nullptr;
    QLabel* lblInstruction = nullptr;
};

} // namespace qc
