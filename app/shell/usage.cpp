#include "shell/usage.h"

#include "shell/app_identity.h"
#include "shell/demo_mode.h"
#include "shell/folders.h"

namespace qc {

QString UsageText()
{
    return QStringLiteral("Usage: quenconnect [%1 [FOLDER]]\n"
                          "       quenconnect --version | --help\n"
                          "\n"
                          "%2 reads the memories and live readings of coating-thickness gauges\n"
                          "over Bluetooth LE.\n"
                          "\n"
                          "Options:\n"
                          "  %1 [FOLDER]  demo mode: simulated gauges instead of the Bluetooth\n"
                          "                       adapter (those described in FOLDER when given)\n"
                          "  --version            print the caption and exit\n"
                          "  -h, --help           print this help and exit\n"
                          "\n"
                          "Environment:\n"
                          "  %3  the settings folder (default ~/.config/Quen Connect)\n"
                          "  %4      the measurement files (default ~/.local/share/Quen Connect)\n")
        .arg(QString::fromLatin1(kSimulateOption), MainCaption(), QString::fromLatin1(kSettingsDirVariable),
             QString::fromLatin1(kDataDirVariable));
}

} // namespace qc
