#include "styleeditor/StyleSession.h"

#include "settings/KOptions.h"
#include "shell/TimeSource.h"

#include <algorithm>

namespace {
// What a width slider shows for a stored width.
int16_t sliderValue(int32_t width) {
    return int16_t(std::clamp<int32_t>(width, StyleSession::MinWidth, StyleSession::MaxWidth));
}
} // namespace

void StyleSession::Open(const KOptions& options) {
    CurStyleFile = options.StyleFile;
    Transparent = options.StyleIdx == KOptions::SeeThroughStyle;
    Hands.HCol = options.HCol;
    Hands.MCol = options.MCol;
    Hands.SCol = options.SCol;
    Hands.HW = sliderValue(options.HW);
    Hands.MW = sliderValue(options.MW);
    if (options.SW != 0)
        Hands.SW = sliderValue(options.SW);
    else
        Hands.Seconds = false;
    DrawPreview();

    const SkinList& defaults = DefaultSkins();
    for (int i = 0; i < defaults.size(); ++i) {
        const int row = AddStyleItem(defaults.at(i), DefaultPrefix);
        if (row >= 0 && i == options.StyleIdx)
            Selected = row;
    }
    for (const KSkinPtr& skin : UserSkins())
        AddStyleItem(skin, UserPrefix);
    Preview.PreviewTime = TimeSource::now();
}

int StyleSession::AddStyleItem(const KSkinPtr& style, const QString& prefix) {
    if (!style)
        return -1;
    const int n = Preview.AddThumb(style->FileName);
    if (n == 0)
        return -1;
    Entries.append({prefix + QString::number(n), style, n});
    return int(Entries.size()) - 1;
}

void StyleSession::Choose(int row) {
    if (row < 0 || row >= Entries.size())
        return;
    Selected = row;
    const Entry& entry = Entries.at(row);
    const KSkin& style = *entry.Tag;
    CurStyleFile = style.FileName;
    Name = style.Name;
    Hands.HCol = style.Hour;
    Hands.MCol = style.Minute;
    Hands.SCol = style.Second;
    Hands.HW = sliderValue(style.HDM);
    Hands.MW = sliderValue(style.MDM);
    if (style.SDM != 0) {
        Hands.Seconds = true;
        Hands.SW = sliderValue(style.SDM);
    } else {
        Hands.Seconds = false;
    }
    if (!Preview.ShowPicture(entry.Picture, Hands))
        DrawPreview();
}

void StyleSession::Rename(const QString& text) {
    if (Selected >= 0 && Selected < Entries.size())
        Entries.at(Selected).Tag->Name = text;
}

int StyleSession::Save() {
    KSkinPtr target;
    for (const KSkinPtr& skin : UserSkins()) {
        if (skin && skin->Name.compare(Name, Qt::CaseInsensitive) == 0) {
            target = skin;
            break;
        }
    }
    const bool isNew = !target;
    if (isNew)
        target = std::make_shared<KSkin>();
    target->FileName = CurStyleFile;
    target->Name = Name;
    target->Hour = Hands.HCol;
    target->Minute = Hands.MCol;
    target->Second = Hands.SCol;
    target->HDM = Hands.HW;
    target->MDM = Hands.MW;
    target->SDM = Hands.Seconds ? Hands.SW : 0;
    if (!isNew)
        return -1;
    UserSkins().append(target);
    return AddStyleItem(target, UserPrefix);
}

StyleSession::DeleteAnswer StyleSession::DeleteRequest() const {
    if (Selected < 0 || Selected >= Entries.size())
        return DeleteAnswer::Nothing;
    return Entries.at(Selected).isDefault() ? DeleteAnswer::Refuse : DeleteAnswer::AskFirst;
}

void StyleSession::DeleteSelected() {
    if (Selected < 0 || Selected >= Entries.size())
        return;
    Entries.removeAt(Selected);
    Selected = -1;
}

void StyleSession::Accept(KOptions& options) const {
    if (Transparent)
        options.StyleIdx = KOptions::SeeThroughStyle;
    else if (Selected >= 0 && Selected < Entries.size())
        options.StyleIdx = int16_t(Entries.at(Selected).imageIndex() - 2);
    else if (options.StyleIdx == KOptions::SeeThroughStyle)
        options.StyleIdx = 0; // no entry chosen (all deleted): a face from the file again
    options.StyleFile = CurStyleFile;
    options.HCol = Hands.HCol;
    options.MCol = Hands.MCol;
    options.SCol = Hands.SCol;
    options.HW = Hands.HW;
    options.MW = Hands.MW;
    options.SW = Hands.Seconds ? Hands.SW : 0;

    SkinList& users = UserSkins();
    users.clear();
    for (const Entry& entry : Entries)
        if (entry.Key.left(2).compare(UserPrefix, Qt::CaseInsensitive) == 0)
            users.append(entry.Tag);
}
