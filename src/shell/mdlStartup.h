#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <cstdint>
#include <functional>

class KOptions;

Q_DECLARE_LOGGING_CATEGORY(lcTrace)

// A colour split into the byte order of a 24-bit bitmap pixel; the hand drawing's colour.
struct ColorBytes {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
};

// Start-up sequence: trace banner, common controls, options; then calls showMainWindow,
// which creates and shows the clock window. Needs a QApplication.
void Main(const std::function<void()>& showMainWindow);

bool InitCommonControlsSafe();
void LoadOptions();
void SaveOptions();

// Start-up saves the settings it has just read (to fill in what the file lacked): Main holds
// those saves until the clock's first frame is out, and SaveOptions then only notes that a
// save is due. The release makes that one save; at the latest it comes a few seconds after
// the start, and as the program quits.
void HoldOptionSaves();
void ReleaseOptionSaves();

// The program's one options object, created on first use.
KOptions& Options();

// Per-user folder (XDG data home + "Zintar_22/"), with a trailing separator; created
// when missing. Returns the path even when it could not be created (said once on stderr).
QString AppDataFolder();

// Milliseconds since this process was started (its exec), as the kernel counts them.
double MsSinceProcessStart();

// Folder that holds DefaultSkins.ini and pics/, without trailing separator: the executable's
// own folder when DefaultSkins.ini is there (a build tree, an unpacked archive), otherwise
// ../share/zintar beside it (an installed program, bin/zintar).
QString ProgramFolder();
// The same rule for an executable in exeFolder.
QString ProgramFolderFor(const QString& exeFolder);

bool FileExists(const QString& path);
bool FolderExists(const QString& path);

// Trace sink: the lines go to the logging category "zintar.trace", off by default
// (QT_LOGGING_RULES="zintar.trace.debug=true" shows them).
void WriteLog(const QString& text);

// A path read from a file, made usable for opening here ("\" becomes a separator).
QString LocalPath(const QString& pathFromFile);

// One value of an INI file: case-insensitive section and key, first match wins, blanks
// trimmed, at most 254 characters (and no blank left at the cut); "" when anything is missing. CR
// LF or LF, UTF-8 or Windows-1252.
QString ReadIniValue(const QString& file, const QString& section, const QString& key);

// While one of these lives, ReadIniValue reads and parses the given file once for all its
// lookups on this thread: for a reader of many keys that does not write the file meanwhile.
class IniReadBatch {
public:
    explicit IniReadBatch(const QString& file);
    ~IniReadBatch();
    IniReadBatch(const IniReadBatch&) = delete;
    IniReadBatch& operator=(const IniReadBatch&) = delete;

    struct State; // the parsed file and the batch this one is nested in

private:
    State* state_;
};

// Settings and style files beyond this size are not read: a few thousand alarms fit in it,
// and a bigger file is not one the program wrote.
inline constexpr qint64 kLargestIniFile = 1024 * 1024;

// True when the file holds text: no NUL or other control bytes than tab, CR and LF.
bool IniIsText(const QString& file);
// The numbers N of the sections named prefix + N (N from 1 to 32767, written without
// sign or leading zeros) that the file holds, in increasing order.
QList<int> NumberedIniSections(const QString& file, const QString& prefix);

int32_t ParseColor(const QString& text);
// True when text is empty or ParseColor reads it as written (not a 0 for unreadable text).
bool ColorReadable(const QString& text);
void ColorToRgb(int32_t color, ColorBytes& bytes);
// Colour text as the settings files store it: upper-case hex, no prefix, no leading zeros.
QString ColorText(int32_t color);
