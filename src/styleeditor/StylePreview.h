#pragma once

#include "render/modOLEPicture.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>
#include <cstdint>

// The hands the preview draws: colours, widths and whether there is a seconds hand, as the
// editor's controls hold them.
struct PreviewHands {
    int32_t HCol = 0, MCol = 0, SCol = 0;
    int16_t HW = 6, MW = 4, SW = 2;
    bool Seconds = true;
};

// The style editor's preview: the 256 x 256 face with the hands at the preview time, the
// 64 x 64 thumbnails of the style list and the full-size face of every list entry.
class StylePreview {
public:
    static constexpr int FaceSize = 256;
    static constexpr int ThumbSize = 64;
    static constexpr float Radius = 96.0f; // 3/8 of the face, as on the clock
    static constexpr int Centre = 128;

    StylePreview();

    // One full-size picture per entry added, in the order of adding (picture number n is
    // element n - 1 here).
    QList<modOLEPicture::Picture> FacePics;
    // ilModels: element 0 is the built-in image no entry uses; the thumbnail of picture
    // number n is element n.
    QList<QImage> Thumbs;
    // Midnight until the editor opens; it does not advance.
    QDateTime PreviewTime;

    // Loads the picture, appends its thumbnail and the picture itself; the new picture
    // number, or 0 when the file cannot be loaded (then nothing is appended).
    int AddThumb(const QString& file);
    // The face from a file, brought to 256 x 256, then the hands; false (and nothing
    // changed) when the file cannot be loaded.
    bool LoadFace(const QString& file, const PreviewHands& hands);
    // The face of picture number n, brought to 256 x 256; false for no such picture.
    bool ShowPicture(int n, const PreviewHands& hands);
    // The shown face with the hands drawn anew.
    void DrawPreview(const PreviewHands& hands);

    // The face without hands, and the face as shown with them.
    const QImage& face() const { return face_; }
    const QImage& shown() const { return shown_; }

    // Writes the face without the hands as a BMP file, through a temporary file.
    bool SaveFace(const QString& file, QString* error = nullptr) const;

    // Loads a picture the way the editor does (backslashes accepted); null on failure.
    static QImage LoadPicture(const QString& file);

private:
    void setFace(const QImage& picture, const PreviewHands& hands);

    QImage face_;
    QImage shown_;
};
