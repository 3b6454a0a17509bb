// Help menu, branding and the pictures of the main window.
#include <QDesktopServices>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QUrl>

#include "imaging/StdPictureEx.h"
#include "shell/app_identity.h"
#include "shell/branding.h"
#include "shell/manual_files.h"
#include "shell/texts.h"
#include "ui/frmTransfer.h"

namespace qc {

// A missing manual and one that no program could open are told apart: the
// user can open the second by hand from the folder named.
void frmTransfer::mnuHelp1_Click()
{
    const QString path = m_session.Folders.SettingsDir + u'/' + ManualFileName(m_session.Language());
    setProperty("helpFile", path);
    // openUrl does not fail for a missing file on every desktop, so the file
    // is checked first.
    if (!QFileInfo(path).isFile()) {
        ShowMessage(MainCaption(), ManualNotFoundText(m_session.Language(), path));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    const bool opened = m_openUrl ? m_openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened)
        ShowMessage(MainCaption(), ManualNotOpenedText(m_session.Language(), path));
}

void frmTransfer::mnuInfo_Click()
{
    if (m_session.GaugeIdentified && m_deviceInfo) {
        m_deviceInfo();
        return;
    }
    ShowMessage(QStringLiteral("Version"), windowTitle());
}

void frmTransfer::ApplyBrand(const QString& brandMark, const QString& gaugeNumber)
{
    const auto brand = BrandForMark(EffectiveBrandMark(brandMark, gaugeNumber));
    if (!brand)
        return;
    const BrandAssets assets = AssetsOf(*brand);
    LoadPicture(m_ui.picQuen, assets.LogoFile, true);
    QString error;
    const QImage icon = StdPictureEx::Load(m_session.Folders.ProgramDir + u'/' + assets.IconFile, &error);
    if (icon.isNull())
        m_session.Log.WriteLog(QStringLiteral("Picture not loaded: ") + error);
    else
        setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    m_ui.FrameStatistik->setTitle(assets.StatisticsCaption);
}

bool frmTransfer::ShowModelPicture(const QString& fileName) { return LoadPicture(m_ui.picPL, fileName, false); }

bool frmTransfer::LoadPicture(QLabel* box, const QString& fileName, bool stretch)
{
    QString error;
    const QImage image = StdPictureEx::Load(m_session.Folders.ProgramDir + u'/' + fileName, &error);
    if (image.isNull()) {
        box->clear();
        m_session.Log.WriteLog(QStringLiteral("Picture not loaded: ") + error);
        return false;
    }
    QPixmap picture = QPixmap::fromImage(image);
    if (stretch) {
        // Scaled to the box's device pixels, so the pictures (drawn at twice
        // their shown size) stay sharp on a screen scaled to 200 %.
        const qreal ratio = box->devicePixelRatioF();
        picture = picture.scaled(box->size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        picture.setDevicePixelRatio(ratio);
    } else {
        box->resize(picture.size());
    }
    box->setPixmap(picture);
    return true;
}

} // namespace qc
