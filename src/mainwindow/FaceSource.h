#pragma once

#include <QString>

class ClockRenderer;

// The picture a bitmap face is fitted from is needed only when the clock fits it again, after
// a change of size or style; in between the renderer keeps just the fitted face. A 256-pixel
// face picture is 256 KB of memory the clock would otherwise hold for nothing, so it is let go
// after each fit and read again from its file for the next one. A picture that came from no
// file (a desktop capture) is kept as it is.
class FaceSource {
public:
    // Before the renderer loads a style or fits its face: its picture back where it was let go.
    void restore(ClockRenderer& clock);
    // After the renderer loaded the picture of `file`: remembers the file when the picture came
    // from it (one that cannot be read leaves the earlier picture and its file in place).
    void loaded(const ClockRenderer& clock, qint64 pictureBefore, const QString& file);
    // After a fit: lets the picture go when its file can give it back.
    void release(ClockRenderer& clock);
    // The renderer's picture is now one of no file.
    void forget() { file_.clear(); }

    const QString& file() const { return file_; }

private:
    QString file_;
};
