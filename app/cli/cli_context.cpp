#include "cli/cli_context.h"

#include <cstdio>
#include <unistd.h>

#include "shell/folders.h"

namespace qc::cli {

namespace {

void Write(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

Console::Console(int language)
    : language_(language)
    , progress_(::isatty(STDERR_FILENO) == 1)
{
}

void Console::Out(const QString& text) const { Write(stdout, text); }

void Console::Message(const QString& text) const { Write(stderr, text + u'\n'); }

void Console::Progress(const QString& text) const
{
    if (progress_)
        Message(text);
}

Context::Context(const Options& opts, int language)
    : options(opts)
    , console(language)
{
    session.SetLanguage(language);
}

void Context::StartSession(const QString& executableDir)
{
    session.Folders.ProgramDir = ProgramDirFor(executableDir);
    session.Folders.SettingsDir = SettingsDirFromEnvironment();
    session.Folders.DataDir = DataDirFromEnvironment();
    EnsureDirectory(session.Folders.SettingsDir);
    EnsureDirectory(session.Folders.DataDir);
    session.Log.SetPath(TransferLog::PathIn(session.Folders.SettingsDir));
    session.Settings.SetSettingsDir(session.Folders.SettingsDir);
    session.Settings.SetLog(&session.Log);
}

} // namespace qc::cli
