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
#include "ui/frmTransfer.h"
#include "shell/manual_files.h"

namespace qc {

void frmTransfer::InstallManuals()
{
    qc::InstallManuals(m_folders.ProgramDir, m_folders.SettingsDir);
}

void frmTransfer::mnuHelp1_Click()
{
    const QString path = m_folders.SettingsDir + u'/' + ManualFileName(Language());
    setProperty("helpFile", path);
    // openUrl does not fail for a missing file on every desktop, so the file
    // is checked first.
    const bool opened = QFileInfo(path).isFile() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!opened)
        ShowMessage(MainCaption(), ManualNotFoundText(Language(), path));
}

void frmTransfer::mnuInfo_Click()
{
    if (m_gaugeIdentified && m_deviceInfo) {
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
    const QImage icon = StdPictureEx::Load(m_folders.ProgramDir + u'/' + assets.IconFile, &error);
    if (icon.isNull())
        WriteLog(QStringLiteral("Picture not loaded: ") + error);
    else
        setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    m_ui.FrameStatistik->setTitle(assets.StatisticsCaption);
}

bool frmTransfer::LoadPicture(QLabel* box, const QString& fileName, bool stretch)
{
    QString error;
    const QImage image = StdPictureEx::Load(m_folders.ProgramDir + u'/' + fileName, &error);
    if (image.isNull()) {
        box->clear();
        WriteLog(QStringLiteral("Picture not loaded: ") + error);
        return false;
    }
    QPixmap picture = QPixmap::fromImage(image);
    if (stretch)
        picture = picture.scaled(box->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    else
        box->resize(picture.size());
    box->setPixmap(picture);
    return true;
}

} // namespace qc
