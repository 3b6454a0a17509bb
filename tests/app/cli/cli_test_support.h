// Runs the built quenconnect-cli and makes up measurement files and gauge
// folders for it.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "data/cp1252.h"

namespace qc::test {

struct CliRun {
    int code = -1;
    QByteArray out;
    QString err;
    bool finished = false;
};

// The program with `args`; the environment of the test plus `extra`
// ("NAME=value"; "NAME=" removes NAME). Never waits past `limitMs`.
inline CliRun RunCli(const QStringList& args, const QStringList& extra = {}, int limitMs = 60000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& e : extra) {
        const qsizetype eq = e.indexOf(u'=');
        if (eq == e.size() - 1)
            env.remove(e.left(eq));
        else
            env.insert(e.left(eq), e.mid(eq + 1));
    }
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QC_CLI), args);
    CliRun run;
    run.finished = p.waitForFinished(limitMs);
    if (!run.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    run.out = p.readAllStandardOutput();
    run.err = QString::fromUtf8(p.readAllStandardError());
    run.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return run;
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A measurement file as the program writes them: lines joined by CR LF,
// Windows-1252, the closing empty line.
inline QByteArray MesBytes(const QStringList& lines)
{
    return EncodeCp1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n"));
}

// n readings in time form: "10:00:00      1        12.5 µm   FE".
inline QStringList TimeFormLines(int n, QChar separator)
{
    QStringList lines{QStringLiteral("Statistik:"), QString()};
    for (int i = 1; i <= n; ++i) {
        const QString value = QString::number(10 + (i % 97) * 0.5, 'f', 1).replace(u'.', separator);
        lines << QStringLiteral("10:%1:%2      %3 %4 \u00B5m   FE")
                     .arg((i / 60) % 60, 2, 10, QChar(u'0'))
                     .arg(i % 60, 2, 10, QChar(u'0'))
                     .arg(i, 5)
                     .arg(value, 11);
    }
    return lines;
}

} // namespace qc::test
