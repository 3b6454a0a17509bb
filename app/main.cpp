#include <QApplication>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "gauge/radio_choice.h"
#include "shell/app_identity.h"
#include "shell/demo_mode.h"
#include "shell/folders.h"
#include "shell/session.h"
#include "shell/single_instance.h"
#include "shell/texts.h"
#include "shell/usage.h"
#include "shell/wait_clock.h"
#include "ui/frmTransfer.h"
#include "ui/message_box_prompt.h"

namespace {

constexpr std::chrono::seconds kAlreadyRunningNotice{5};
constexpr std::chrono::seconds kRaiseDeadline{2};

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", qc::MainCaption().toUtf8().constData());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(qc::UsageText().toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    qc::PinLocalTimeZone();
    QApplication app(argc, argv);
    const qc::DemoRequest demo = qc::ParseDemoRequest(QApplication::arguments().mid(1));
    if (!demo.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", demo.error.toLocal8Bit().constData());
        return 2;
    }
    QApplication::setApplicationName(QString::fromLatin1(qc::kProgramName));
    QApplication::setApplicationVersion(QString::fromLatin1(qc::kProgramVersion));

    // Checked before the window starts: a second instance must not empty
    // the log of the one that runs. The running one is asked to show its
    // window, and the user is told; the notice closes by itself so a start
    // nobody watches still ends.
    qc::SingleInstance instance(qc::RuntimeDir());
    if (!instance.IsFirst()) {
        std::fprintf(stderr, "%s is already running (%s).\n", qc::kProgramName,
                     instance.LockPath().toLocal8Bit().constData());
        instance.AskRunningToRaise(kRaiseDeadline);
        const int language = QLocale::system().language() == QLocale::German ? qc::kGerman : qc::kEnglish;
        QMessageBox notice(QMessageBox::Information, qc::MainCaption(),
                           qc::NoticeText(language, qc::kNoticeAlreadyRunning), QMessageBox::Ok);
        qc::SpeakLanguage(notice, language);
        QTimer::singleShot(kAlreadyRunningNotice, &notice, &QMessageBox::accept);
        notice.exec();
        return 0;
    }

    // The real radio when the control finds an adapter, else the demo; a
    // second instance never gets here, so it never scans.
    const QString demoNotice = qc::ChooseRadio(demo.requested, QApplication::applicationDirPath(), demo.folder);
    if (!demoNotice.isEmpty())
        std::fprintf(stderr, "%s\n", demoNotice.toLocal8Bit().constData());

    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    qc::Session session;
    qc::frmTransfer window(session);
    instance.OnRaiseRequest([&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.show();
    return QApplication::exec();
}
