// Helper of the crash-safety test: saves a measurement file or the settings
// files with one of two contents, once or in a loop that prints "saved"
// after each save until it is killed.
//
// Usage: qc_save_loop mes|settings <folder> A|B|loop
#include <QCoreApplication>
#include <QDate>

#include <cstdio>
#include <cstring>

#include "data/measurement_file.h"
#include "shell/settings_store.h"

namespace {

// About 180 kB: big enough that a kill often lands inside the write. The
// two contents differ in length, so a cut-off file is told apart too.
QString ReportText(bool variantA)
{
    QString text = QStringLiteral("Quen Connect\r\nGauge K1\r\n");
    const int lines = variantA ? 4000 : 3500;
    for (int i = 1; i <= lines; ++i)
        text += QStringLiteral("%1  10:15:30      %2 µm\r\n")
                    .arg(i, 4)
                    .arg(variantA ? 12.5 + i % 100 : 250.125 - i % 50, 10, 'f', 3);
    return text;
}

bool SaveMes(const QString& folder, bool variantA)
{
    return !qc::SaveMesFile(folder + QStringLiteral("/Probe.mes"), qc::MesFileBytes(ReportText(variantA))).has_value();
}

bool SaveSettings(qc::SettingsStore& store, bool variantA)
{
    store.limits.MinLimit = variantA ? 10 : 12.5;
    store.limits.MaxLimit = variantA ? 250 : 1500.75;
    store.limits.TargetValue = variantA ? 120 : 800;
    store.limits.Rule8020 = !variantA;
    for (int i = 0; i < qc::kProjectFields; ++i)
        store.projectData.Texts[i] =
            variantA ? QStringLiteral("Bridge %1").arg(i) : QStringLiteral("Tank wall, ring %1 north").arg(i);
    store.projectData.Date = variantA ? QDate(2024, 12, 5) : QDate(2026, 1, 31);
    return !store.Voreinstellungen(qc::settings_mode::LimitsSave) &&
           !store.Voreinstellungen(qc::settings_mode::ProjectDataSave);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: qc_save_loop mes|settings <folder> A|B|loop\n");
        return 2;
    }
    const bool mes = std::strcmp(argv[1], "mes") == 0;
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const bool loop = std::strcmp(argv[3], "loop") == 0;
    qc::SettingsStore store(folder, QLocale(QLocale::German, QLocale::Germany));
    store.SetGaugeNumber(QStringLiteral("K1"));
    auto save = [&](bool variantA) { return mes ? SaveMes(folder, variantA) : SaveSettings(store, variantA); };
    if (!loop)
        return save(std::strcmp(argv[3], "A") == 0) ? 0 : 1;
    for (bool variantA = false;; variantA = !variantA) {
        if (!save(variantA))
            return 1;
        std::printf("saved\n");
        std::fflush(stdout);
    }
}
