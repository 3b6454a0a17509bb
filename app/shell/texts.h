#pragma once

#include <QString>
#include <QStringView>

namespace qc {

// Language of the user interface: 0 German, 1 English (stored per gauge).
inline constexpr int kGerman = 0;
inline constexpr int kEnglish = 1;

// Key ranges of the three text tables; keys outside them, and keys inside
// without a text, give an empty string.
inline constexpr int kMenuTextKeys = 61;    // 0..60
inline constexpr int kMessageTextKeys = 91; // 0..90
inline constexpr int kStatTextKeys = 21;    // 0..20

// The key of MessageTexts that holds "Quen Connect V1.10", the caption of dialogs.
inline constexpr int kCaptionTextKey = 14;

// A language outside 0..1 is read as the nearer one, so a damaged value can
// never index past the tables.
int ClampLanguage(int language);

// Texts of menus and buttons.
QString MenuText(int language, int key);
// Messages, prompts, frame and column captions. Key 14 is computed from the
// program name and version.
QString MessageText(int language, int key);
// Statistics display and report texts.
QString StatText(int language, int key);

} // namespace qc

namespace qc {

// Plain-word notices of key forwarding, outside the numbered tables.
inline constexpr int kKeysNoDisplay = 0;
inline constexpr int kKeysStartFailed = 1; // followed by the program path
inline constexpr int kKeysTargetGone = 2;
inline constexpr int kKeysNoWindow = 3;
QString KeyForwardingText(int language, int id);

} // namespace qc

namespace qc {

// Notices outside the numbered tables.
inline constexpr int kNoticeUnstorable = 0;       // followed by the characters
inline constexpr int kNoticeKeyPathSeparator = 1; // followed by the path
inline constexpr int kNoticeManualNotOpened = 2;  // %1 the file, %2 its folder
inline constexpr int kNoticeAlreadyRunning = 3;
inline constexpr int kNoticeFolderNotCreated = 4;  // followed by the folder
inline constexpr int kNoticeDocumentNotOpened = 5; // followed by the document's path
inline constexpr int kNoticePrintFailed = 6;       // followed by the reason
QString NoticeText(int language, int id);

// "Diese Zeichen können nicht gespeichert werden: ✓ €"; empty `characters`
// give an empty text.
QString UnstorableCharactersText(int language, const QString& characters);

// Why `path` cannot be stored as the key forwarding target (a ";" or
// characters outside the settings files' code page); empty when it can.
QString KeyPathProblem(const QString& path, int language);

} // namespace qc

namespace qc {

// The explanation of the 80/20 rule of ISO 19840 (limits dialog, "Info").
QString Rule8020InfoText(int language);

// "Datei <path> wurde nicht gefunden" / "File <path> not found ".
QString ManualNotFoundText(int language, const QString& path);

// The manual is there but no program could open it: says so and where it is.
QString ManualNotOpenedText(int language, const QString& path);

// The prefix of a failed settings operation ("LL", "LS", ...); empty for an
// unknown mode.
QString SettingsFailurePrefixText(QStringView mode, int language);

} // namespace qc
