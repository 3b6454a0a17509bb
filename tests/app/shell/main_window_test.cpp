#include <QApplication>
#include <QPointer>
#include <gtest/gtest.h>

#include "shell/frmTransfer.h"

namespace qc {
namespace {

TEST(MainWindow, ShowsTheCaptionAndCloses)
{
    QPointer<frmTransfer> window = new frmTransfer;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quen Connect V1.10"));
    EXPECT_TRUE(window->close());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

} // namespace
} // namespace qc
