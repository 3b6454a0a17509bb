#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <cstring>

#include "shell/app_identity.h"
#include "shell/folders.h"
#include "ui/frmTransfer.h"
#include "shell/single_instance.h"

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

    // Checked before the window starts: a second instance must not empty
    // the log of the one that runs.
    const qc::SingleInstance instance(qc::RuntimeDir());
    if (!instance.IsFirst()) {
        std::fprintf(stderr, "%s is already running (%s).\n", qc::kProgramName,
                     instance.LockPath().toLocal8Bit().constData());
        return 0;
    }

    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    qc::frmTransfer window;
    window.show();
    return QApplication::exec();
}
