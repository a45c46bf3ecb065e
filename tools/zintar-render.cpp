// Draws one clock frame into a PNG file, the way the clock would show it:
//     zintar-render [--style N | --face FILE] [--hour C] [--minute C] [--second C]
//                   [--widths H,M,S] [--time HH:MM[:SS]] [--size N | WxH] -o out.png

#include "render/ClockRenderer.h"
#include "settings/KOptions.h"
#include "settings/KSkin.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace {

int fail(const QString& message, int code = 1) {
    std::fprintf(stderr, "zintar-render: %s\n", qPrintable(message));
    return code;
}

bool parseSize(const QString& text, QSize& size) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)(?:[xX](\\d+))?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    const int w = m.captured(1).toInt();
    const int h = m.captured(2).isEmpty() ? w : m.captured(2).toInt();
    if (w < 1 || h < 1 || w > 4096 || h > 4096)
        return false;
    size = QSize(w, h);
    return true;
}

bool parseColor(const QString& text, int32_t& color) {
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{1,6}$"));
    if (!hex.match(text).hasMatch())
        return false;
    color = ParseColor(text);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // No window system needed: pictures are read, drawn and written in memory.
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QCoreApplication::setApplicationName(QStringLiteral("zintar-render"));

    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral(
        "Draws one frame of the Zintar clock into a PNG file.\n"
        "Colours are written as in the style files: hexadecimal with red in the lowest byte\n"
        "(4040FF is a light red)."));
    cli.addHelpOption();
    const QCommandLineOption style(QStringLiteral("style"),
                                   QStringLiteral("Built-in style at position <n> of "
                                                  "DefaultSkins.ini, from 1 (default 10)."),
                                   QStringLiteral("n"), QStringLiteral("10"));
    const QCommandLineOption faceFile(QStringLiteral("face"),
                                      QStringLiteral("Face picture to use instead of the "
                                                     "style's."),
                                      QStringLiteral("file"));
    const QCommandLineOption hour(QStringLiteral("hour"), QStringLiteral("Hour hand colour."),
                                  QStringLiteral("colour"));
    const QCommandLineOption minute(QStringLiteral("minute"), QStringLiteral("Minute hand colour."),
                                    QStringLiteral("colour"));
    const QCommandLineOption second(QStringLiteral("second"), QStringLiteral("Second hand colour."),
                                    QStringLiteral("colour"));
    const QCommandLineOption widths(QStringLiteral("widths"),
                                    QStringLiteral("Hand widths in pixels; a second hand of 0 "
                                                   "is not drawn."),
                                    QStringLiteral("h,m,s"));
    const QCommandLineOption time(QStringLiteral("time"),
                                  QStringLiteral("Time shown (default: now)."),
                                  QStringLiteral("hh:mm[:ss]"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Client size, square or WxH (default 256)."),
                                  QStringLiteral("n|WxH"), QStringLiteral("256"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("PNG file to write."), QStringLiteral("file"));
    cli.addOptions({style, faceFile, hour, minute, second, widths, time, size, output});
    cli.process(arguments);

    if (!cli.isSet(output))
        return fail(QStringLiteral("no output file given (-o out.png)"), 2);
    QSize client;
    if (!parseSize(cli.value(size), client))
        return fail(QStringLiteral("size must be N or WxH between 1 and 4096"), 2);

    KOptions& o = Options();
    o.Defaults();
    LoadSkinFile(ProgramFolder() + QStringLiteral("/DefaultSkins.ini"), DefaultSkins());
    bool ok = false;
    const int position = cli.value(style).toInt(&ok);
    if (!ok || position < 1 || position > DefaultSkins().size()) {
        if (cli.isSet(style) || !cli.isSet(faceFile))
            return fail(QStringLiteral("no built-in style %1 (there are %2)")
                            .arg(cli.value(style))
                            .arg(DefaultSkins().size()),
                        2);
    } else {
        const KSkin& skin = *DefaultSkins().at(position - 1);
        o.StyleFile = skin.FileName;
        o.HCol = skin.Hour;
        o.MCol = skin.Minute;
        o.SCol = skin.Second;
        o.HW = int16_t(skin.HDM);
        o.MW = int16_t(skin.MDM);
        o.SW = int16_t(skin.SDM);
    }
    if (cli.isSet(faceFile))
        o.StyleFile = QFileInfo(cli.value(faceFile)).absoluteFilePath();
    const std::pair<const QCommandLineOption*, int32_t*> colours[] = {
        {&hour, &o.HCol}, {&minute, &o.MCol}, {&second, &o.SCol}};
    for (const auto& [option, field] : colours)
        if (cli.isSet(*option) && !parseColor(cli.value(*option), *field))
            return fail(QStringLiteral("colour %1 is not hexadecimal").arg(cli.value(*option)), 2);
    if (cli.isSet(widths)) {
        const QStringList parts = cli.value(widths).split(QLatin1Char(','));
        bool good = parts.size() == 3;
        int16_t w[3] = {0, 0, 0};
        for (int i = 0; good && i < 3; ++i) {
            const int v = parts[i].trimmed().toInt(&good);
            good = good && v >= 0 && v <= 100;
            w[i] = int16_t(v);
        }
        if (!good)
            return fail(QStringLiteral("widths must be three numbers h,m,s from 0 to 100"), 2);
        o.HW = w[0];
        o.MW = w[1];
        o.SW = w[2];
    }
    QDateTime when = TimeSource::now();
    if (cli.isSet(time)) {
        QTime t = QTime::fromString(cli.value(time), QStringLiteral("H:mm:ss"));
        if (!t.isValid())
            t = QTime::fromString(cli.value(time), QStringLiteral("H:mm"));
        if (!t.isValid())
            return fail(QStringLiteral("time must be hh:mm or hh:mm:ss"), 2);
        when = QDateTime(QDate(2000, 1, 1), t);
    }

    ClockRenderer renderer;
    renderer.pLoadStyle();
    if (renderer.ImgClk.isNull())
        return fail(QStringLiteral("cannot read the face picture %1").arg(LocalPath(o.StyleFile)));
    renderer.setClientSize(client);
    renderer.RecalcImage(true);
    renderer.Render(when);
    const QString out = cli.value(output);
    if (!renderer.backing().save(out, "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(out));
    return 0;
}
