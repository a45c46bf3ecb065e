#pragma once

#include <QString>

class ClockRenderer;

// The picture a bitmap face is fitted from is needed only when the clock fits it again, after
// a change of size or style; in between the renderer keeps just the fitted face. A 256-pixel
// face picture is 256 KB of memory the clock would otherwise hold for nothing, so once the
// clock has settled it is let go, and read again from its file for the next fit. A picture
// that came from no file (a desktop capture) is kept as it is.
class FaceSource {
public:
    // After the renderer loaded the picture of `file` (its picture had the cache key
    // `pictureBefore`): remembers the file when the picture came from it. One that could not
    // be read leaves the earlier picture in place, read back first if it had been let go.
    void loaded(ClockRenderer& clock, qint64 pictureBefore, const QString& file);
    // Before the renderer fits its face: the picture back when it was let go.
    void restore(ClockRenderer& clock);
    // Lets the picture go when its file can give it back.
    void release(ClockRenderer& clock);
    // The renderer's picture is now one of no file.
    void forget() { file_.clear(); }

    const QString& file() const { return file_; }

private:
    QString file_;
};
