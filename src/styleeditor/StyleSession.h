#pragma once

#include "settings/KSkin.h"
#include "styleeditor/StylePreview.h"

#include <QList>
#include <QString>

class KOptions;

// What the style editor decides, apart from its window: the list entries, the values its
// controls show, and what choosing, renaming, saving, deleting and OK do to the entries, the
// catalogue and the options. The window shows this state and passes the user's edits in.
class StyleSession {
public:
    static inline const QString DefaultPrefix = QStringLiteral("d_");
    static inline const QString UserPrefix = QStringLiteral("u_");
    static constexpr int16_t MinWidth = 1, MaxWidth = 12; // the width sliders' range

    // One entry of the style list. The record is the catalogue's own, not a copy.
    struct Entry {
        QString Key; // prefix + picture number
        KSkinPtr Tag;
        int Picture = 0;
        int imageIndex() const { return Picture + 1; } // in ilModels, 1-based
        bool isDefault() const { return Key.startsWith(QLatin1Char('d'), Qt::CaseInsensitive); }
    };

    // The values of the window's controls.
    QString CurStyleFile;
    QString Name = QStringLiteral("(Custom style)");
    PreviewHands Hands;
    bool Transparent = false;

    QList<Entry> Entries; // list order
    int Selected = -1;    // row of the selected entry, -1 for none
    StylePreview Preview;

    // Fills the controls from the options and the list from both catalogues; the default
    // style at StyleIdx is selected without being chosen. Styles whose picture cannot be
    // loaded get no entry.
    void Open(const KOptions& options);
    // Appends an entry for style; its row, or -1 when its picture cannot be loaded.
    int AddStyleItem(const KSkinPtr& style, const QString& prefix);
    // A click on the entry at row: the controls and the preview take its style.
    void Choose(int row);
    // The in-place rename of the selected entry was committed.
    void Rename(const QString& text);
    // "Save this style": into the first user style of that name, whatever its letter case,
    // or into a new one; the row of a new entry, -1 when an existing one was written.
    int Save();

    enum class DeleteAnswer { Nothing, AskFirst, Refuse };
    DeleteAnswer DeleteRequest() const;
    // Removes the selected entry from the list only.
    void DeleteSelected();

    // OK up to the writing of the files: the options and UserSkins from the controls and the
    // list. With no entry selected (the selected one was deleted) the face number is kept.
    void Accept(KOptions& options) const;

    void DrawPreview() { Preview.DrawPreview(Hands); }
    // The activation step: the face anew from CurStyleFile.
    bool LoadFace() { return Preview.LoadFace(CurStyleFile, Hands); }
};
