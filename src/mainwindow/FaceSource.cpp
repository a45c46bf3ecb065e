#include "mainwindow/FaceSource.h"

#include "render/ClockRenderer.h"
#include "render/modOLEPicture.h"

void FaceSource::restore(ClockRenderer& clock) {
    if (!clock.ImgClk.isNull() || file_.isEmpty())
        return;
    clock.ImgClk = modOLEPicture::LoadPictureFile(file_);
    if (clock.ImgClk.isNull()) {
        // The file went away since: the fitted face is the best picture left, and is kept.
        WriteLog(QStringLiteral("Face picture ") + file_ +
                 QStringLiteral(" cannot be read again; the fitted face is kept"));
        clock.ImgClk = clock.ScaledFace;
        file_.clear();
    }
}

void FaceSource::loaded(ClockRenderer& clock, qint64 pictureBefore, const QString& file) {
    if (clock.ImgClk.isNull())
        restore(clock); // kept, as a picture that cannot be read keeps the last
    else if (clock.ImgClk.cacheKey() != pictureBefore)
        file_ = file;
}

void FaceSource::release(ClockRenderer& clock) {
    if (!file_.isEmpty() && !clock.ScaledFace.isNull())
        clock.ImgClk = QImage();
}
