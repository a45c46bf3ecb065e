#include "shell/mdlStartup.h"

#include "settings/KOptions.h"
#include "shell/TimeSource.h"
#include "shell/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <optional>
#include <unistd.h>
#include <utility>

Q_LOGGING_CATEGORY(lcTrace, "zintar.trace", QtWarningMsg)

namespace {
// Saves held at start-up are made at the latest this long after it, first frame or not.
constexpr int kLatestStartSaveMs = 3000;
} // namespace

// ---------------------------------------------------------------------------------------------
// Start-up

void Main(const std::function<void()>& showMainWindow) {
    if (lcTrace().isDebugEnabled()) { // the time as text is made only for the trace
        const QString rule(77, QLatin1Char('-'));
        WriteLog(rule);
        WriteLog(QStringLiteral("----  Zintar! Start at ") +
                 TimeSource::now().toString(QStringLiteral("hh:mm:ss")));
        WriteLog(rule);
    }
    InitCommonControlsSafe();
    RemoveLeftoverTempFiles(AppDataFolder()); // of a save that was killed half-way
    HoldOptionSaves();
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, ReleaseOptionSaves);
        QTimer::singleShot(kLatestStartSaveMs, app, ReleaseOptionSaves);
    }
    LoadOptions();
    if (showMainWindow)
        showMainWindow();
}

bool InitCommonControlsSafe() {
    return true; // Qt's widgets need no registration
}

KOptions& Options() {
    static KOptions options;
    return options;
}

void LoadOptions() {
    Options().Load();
}

namespace {
bool savesHeld = false;
bool saveDue = false;
} // namespace

void SaveOptions() {
    if (savesHeld) {
        saveDue = true;
        return;
    }
    Options().Save();
}

void HoldOptionSaves() {
    savesHeld = true;
}

void ReleaseOptionSaves() {
    if (!savesHeld)
        return;
    savesHeld = false;
    if (std::exchange(saveDue, false))
        Options().Save();
}

// ---------------------------------------------------------------------------------------------
// Folders and files

QString AppDataFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString path = base + QStringLiteral("/Zintar_22/");
    if (!FolderExists(path) && !QDir().mkpath(path)) {
        static std::atomic<bool> told{false};
        if (!told.exchange(true))
            std::fprintf(stderr,
                         "Zintar: cannot create the folder %s; settings and styles will not "
                         "be kept.\n",
                         qPrintable(QDir::toNativeSeparators(path)));
    }
    return path;
}

QString ProgramFolderFor(const QString& exeFolder) {
    if (QFileInfo(exeFolder + QStringLiteral("/DefaultSkins.ini")).isFile())
        return exeFolder;
    return QDir::cleanPath(exeFolder + QStringLiteral("/../share/zintar"));
}

QString ProgramFolder() {
    if (QCoreApplication::instance())
        return ProgramFolderFor(QCoreApplication::applicationDirPath());
    // No application object (benchmarks, tools): the folder of the running executable.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return ProgramFolderFor(QFileInfo(exe).absolutePath());
}

bool FileExists(const QString& path) {
    const QString local = LocalPath(path);
    if (local.isEmpty() || QFileInfo(local).isDir())
        return false;
    QFile file(local);
    return file.open(QIODevice::ReadOnly);
}

bool FolderExists(const QString& path) {
    const QString local = LocalPath(path);
    if (local.isEmpty())
        return false;
    const QFileInfo info(local);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

double MsSinceProcessStart() {
    // Field 22 of /proc/self/stat: the start in clock ticks since boot, on the boot clock.
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')');
    const QList<QByteArray> fields = line.mid(afterName + 2).split(' ');
    if (afterName < 0 || fields.size() < 20)
        return -1;
    const double startTicks = fields[19].toDouble(); // field 22 counts from the state, field 3
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / double(::sysconf(_SC_CLK_TCK));
}

void WriteLog(const QString& text) {
    qCDebug(lcTrace).noquote() << text;
}

QString LocalPath(const QString& pathFromFile) {
    QString path = pathFromFile;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

// ---------------------------------------------------------------------------------------------
// INI reading

namespace {

// The bytes 0x80..0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeText(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    // Not UTF-8: a file written by Windows in its ANSI code page.
    text.resize(view.size());
    for (qsizetype i = 0; i < view.size(); ++i) {
        const auto b = static_cast<unsigned char>(view[i]);
        text[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

using Section = QHash<QString, QString>; // case-folded key -> first value

using ParsedIni = QHash<QString, Section>; // case-folded section name -> keys

ParsedIni parseIni(const QByteArray& raw) {
    ParsedIni ini;
    const QString text = decodeText(raw);
    Section* current = nullptr;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        line = line.trimmed(); // also drops the CR of a CR LF line end
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            qsizetype close = line.indexOf(QLatin1Char(']'));
            if (close < 0)
                close = line.size();
            const QString name = line.sliced(1, close - 1).trimmed().toString().toCaseFolded();
            current = &ini[name];
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!current || eq < 0)
            continue;
        const QString key = line.first(eq).trimmed().toString().toCaseFolded();
        if (!current->contains(key)) // the first line of a key wins
            current->insert(key, line.sliced(eq + 1).trimmed().toString());
    }
    return ini;
}

ParsedIni readIni(const QString& file) {
    QFile f(LocalPath(file));
    if (!f.open(QIODevice::ReadOnly) || f.size() > kLargestIniFile)
        return {};
    return parseIni(f.readAll());
}

} // namespace

struct IniReadBatch::State {
    QString file;
    std::optional<ParsedIni> parsed; // read at the first lookup
    State* outer = nullptr;
};

namespace {
thread_local IniReadBatch::State* currentBatch = nullptr;
} // namespace

IniReadBatch::IniReadBatch(const QString& file) : state_(new State{file, {}, currentBatch}) {
    currentBatch = state_;
}

IniReadBatch::~IniReadBatch() {
    currentBatch = state_->outer;
    delete state_;
}

namespace {
// The parsed file: the batch's when one is open for it, else once into the given holder.
const ParsedIni* parsedFile(const QString& file, ParsedIni& once) {
    if (currentBatch && currentBatch->file == file) {
        if (!currentBatch->parsed)
            currentBatch->parsed = readIni(file);
        return &*currentBatch->parsed;
    }
    once = readIni(file);
    return &once;
}
} // namespace

bool IniIsText(const QString& file) {
    QFile f(LocalPath(file));
    if (!f.open(QIODevice::ReadOnly) || f.size() > kLargestIniFile)
        return false;
    const QByteArray bytes = f.readAll();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F)
            return false;
    }
    return true;
}

QList<int> NumberedIniSections(const QString& file, const QString& prefix) {
    ParsedIni once;
    const ParsedIni* ini = parsedFile(file, once);
    const QString folded = prefix.toCaseFolded();
    QList<int> numbers;
    for (auto it = ini->keyBegin(); it != ini->keyEnd(); ++it) {
        if (!it->startsWith(folded))
            continue;
        const QString digits = it->mid(folded.size());
        bool ok = false;
        const int n = digits.toInt(&ok, 10);
        if (ok && n >= 1 && n <= 32767 && digits == QString::number(n))
            numbers.append(n);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

QString ReadIniValue(const QString& file, const QString& section, const QString& key) {
    ParsedIni once;
    const ParsedIni* ini = parsedFile(file, once);
    const auto sec = ini->constFind(section.trimmed().toCaseFolded());
    if (sec == ini->constEnd())
        return {};
    QString value = sec->value(key.trimmed().toCaseFolded());
    if (value.size() > 254) {
        value.truncate(254);
        if (value.back().isHighSurrogate())
            value.chop(1);
        // The cut may end at a blank; a value read never ends in one, so that what is
        // written back reads back the same.
        while (!value.isEmpty() && value.back().isSpace())
            value.chop(1);
    }
    return value;
}

// ---------------------------------------------------------------------------------------------
// Colours

namespace {

// "&H" followed by one to eight hex digits, as a 32-bit number; eight digits with the top
// bit set are negative. Anything else is not a number.
bool hexLiteral(QStringView text, int32_t& value) {
    if (text.size() < 3 || text[0] != QLatin1Char('&') ||
        (text[1] != QLatin1Char('H') && text[1] != QLatin1Char('h')))
        return false;
    const QStringView digits = text.sliced(2);
    if (digits.size() > 8)
        return false;
    uint32_t v = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        const int d = (u >= '0' && u <= '9')   ? u - '0'
                      : (u >= 'a' && u <= 'f') ? u - 'a' + 10
                      : (u >= 'A' && u <= 'F') ? u - 'A' + 10
                                               : -1;
        if (d < 0)
            return false;
        v = v * 16 + uint32_t(d);
    }
    value = static_cast<int32_t>(v);
    return true;
}

} // namespace

int32_t ParseColor(const QString& input) {
    const QString text = input.trimmed();
    if (text.isEmpty())
        return 0;
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QString marker =
        text.contains(QLatin1Char('H'), Qt::CaseInsensitive) ? QString() : QStringLiteral("H");
    QString digits;
    if (negative)
        digits = text.mid(text.size() > 1 && text[1] == QLatin1Char('&') ? 2 : 1);
    else
        digits = text.startsWith(QLatin1Char('&')) ? text.mid(1) : text;

    int32_t value = 0;
    if (!hexLiteral(QString(QLatin1Char('&') + marker + digits), value))
        return 0;
    if (negative && value != INT32_MIN) // -1 * INT32_MIN overflows; the value stays
        value = -value;
    return value;
}

bool ColorReadable(const QString& input) {
    const QString text = input.trimmed();
    if (text.isEmpty() || ParseColor(text) != 0)
        return true;
    // A zero written as one: "0", "&H0", "-0", "H00"... (an optional "-", "&" and "H" in
    // that order, then zeros only).
    QStringView rest(text);
    if (rest.startsWith(QLatin1Char('-')))
        rest = rest.sliced(1);
    if (rest.startsWith(QLatin1Char('&')))
        rest = rest.sliced(1);
    if (rest.startsWith(QLatin1Char('H'), Qt::CaseInsensitive))
        rest = rest.sliced(1);
    return !rest.isEmpty() &&
           std::all_of(rest.begin(), rest.end(), [](QChar c) { return c == QLatin1Char('0'); });
}

void ColorToRgb(int32_t color, ColorBytes& bytes) {
    bytes.Red = static_cast<uint8_t>(color & 255);
    bytes.Green = static_cast<uint8_t>((color / 256) & 255);
    bytes.Blue = static_cast<uint8_t>((color / 65536) & 255);
}

QString ColorText(int32_t color) {
    return QString::number(static_cast<uint32_t>(color), 16).toUpper();
}
