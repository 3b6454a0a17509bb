#include <QApplication>
#include <cstdio>
#include <cstring>

#include "shell/app_identity.h"
#include "shell/frmTransfer.h"

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", qc::MainCaption().toUtf8().constData());
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qc::kProgramName));
    QApplication::setApplicationVersion(QString::fromLatin1(qc::kProgramVersion));
    qc::frmTransfer window;
    window.show();
    return QApplication::exec();
}
