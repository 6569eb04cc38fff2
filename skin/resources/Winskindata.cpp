// TSkinData: construction, properties, load operations, queries and the activation
// requests it hands to the skin manager.
#include "skin/resources/Winskindata.h"

#include "skin/resources/Winskinstore.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace quorin {
namespace {

// The glyphs of the owner-drawn system menu, 16 x 16 each, one bit per pixel (bit 15 is
// the leftmost pixel, set = black): restore, maximize, minimize, close.
constexpr uint16_t kGlyphRows[4][16] = {
    {0, 0, 0x03FC, 0x03FC, 0x0204, 0x0204, 0x1FE4, 0x1FE4, 0x1024, 0x103C, 0x1020, 0x1020, 0x1FE0, 0, 0, 0},
    {0, 0, 0x1FF8, 0x1FF8, 0x1008, 0x1008, 0x1008, 0x1008, 0x1008, 0x1008, 0x1008, 0x1008, 0x1FF8, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1FF0, 0x1FF0, 0, 0, 0, 0},
    {0, 0, 0, 0x1818, 0x0C30, 0x0660, 0x03C0, 0x0180, 0x03C0, 0x0660, 0x0C30, 0x1818, 0, 0, 0, 0},
};

TBitmap MakeGlyph(const uint16_t (&rows)[16]) {
    TBitmap b(16, 16);
    b.Fill(0xFFFFFF);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (rows[y] & (0x8000u >> x)) b.SetPixel(x, y, 0x000000);
    return b;
}

}  // namespace

// The published properties, in the order the stored layout writes them.
QUORIN_DEFINE_CLASS(TSkinData, TComponent) {
    p.Bool("Active", &TSkinData::GetActive, &TSkinData::SetActive);
    p.Int("DisableTag", &TSkinData::DisableTag, [](TSkinData& s, int32_t v) { s.DisableTag = v; });
    p.Set(
        "SkinControls", [](const TSkinData& s) { return s.SkinControls.Bits(); },
        [](TSkinData& s, uint32_t v) {
            s.SkinControls = TSkinControls::FromBits(v & ((1u << TSkinControlTypeCount) - 1));
        },
        SkinControlTypeNames());
    p.Set(
        "Options", [](const TSkinData& s) { return s.Options.Bits(); },
        [](TSkinData& s, uint32_t v) {
            s.Options = TSkinOptions::FromBits(static_cast<uint16_t>(v & ((1u << TSkinOptionCount) - 1)));
        },
        SkinOptionNames());
    p.Strings("Skin3rd", [](const TSkinData& s) -> const TStringList& { return s.Skin3rd(); });
    p.Str("SkinFile", &TSkinData::GetSkinFile, &TSkinData::SetSkinFile);
    p.Str("SkinStore", &TSkinData::GetSkinStore, &TSkinData::SetSkinStore);
    p.Enum<TSkinFormType>(
        "SkinFormtype", &TSkinData::SkinFormtype, [](TSkinData& s, TSkinFormType v) { s.SkinFormtype = v; },
        SkinFormTypeNames());
    p.Str("Version", &TSkinData::GetVersion, &TSkinData::SetVersion);
    p.Bool("MenuUpdate", &TSkinData::MenuUpdate, [](TSkinData& s, bool v) { s.MenuUpdate = v; });
    p.Bool("MenuMerge", &TSkinData::MenuMerge, [](TSkinData& s, bool v) { s.MenuMerge = v; });
    p.Event("OnFormSkin", &TSkinData::OnFormSkin);
    p.Event("OnSkinChanged", &TSkinData::OnSkinChanged);
    p.Event("OnSkinControl", &TSkinData::OnSkinControl);
    p.Binary("SkinStream", &TSkinData::ReadData, &TSkinData::WriteData);
}

TSkinData::TSkinData(TComponent* AOwner) : TComponent(AOwner) {
    for (int i = 0; i < TSkinControlTypeCount; ++i) SkinControls.Include(static_cast<TSkinControlType>(i));
    SkinControls.Exclude(xcMenuItem);
    SkinControls.Exclude(xcFastReport);
    Options = {xoPreview, xoToolbarBK};
    for (int i = 0; i < TWinContainerCount; ++i) Containers.Include(static_cast<TWinContainer>(i));
    CustomColors.fill(0xFFFFFF);
    for (const std::string& line : DefaultSkin3rd()) FSkin3rd.Add(line);
    Buttons = std::make_unique<TDataSkinButton>("Buttons");
    static const char* const kBorderNames[4] = {"Left", "Right", "Top", "Bottom"};
    for (int i = 0; i < 4; ++i) Border[i] = std::make_unique<TDataSkinBorder>(kBorderNames[i]);
    Title = std::make_unique<TDataSkinTitle>("Title");
    for (int i = 0; i < 4; ++i) Glyphs[i] = MakeGlyph(kGlyphRows[i]);
    ScreenMaximizedSize(MaxWidth, MaxHeight);
}

TSkinData::~TSkinData() {
    if (SkinManager) SkinManager->RemoveSkinData(this);
}

std::string TSkinData::GetSkinStore() const {
    return Designing() && FSkinStream.Bytes().size() > 0 ? "(Good)" : "(none)";
}

// ---- The SkinStream property ---------------------------------------------------------

void TSkinData::ReadData(TStream& stream) {
    int32_t length = 0;
    if (stream.Read(&length, 4) != 4 || length <= 0) return;
    // A damaged layout may declare more than it holds: take what is there.
    int64_t left = stream.Size() - stream.Position();
    int64_t take = std::min<int64_t>(length, std::max<int64_t>(left, 0));
    FSkinStream.Clear();
    if (take > 0) FSkinStream.CopyFrom(stream, take);
    FSkinStream.SetPosition(0);
    if (!Designing()) LoadSkin();
}

void TSkinData::WriteData(TStream& stream) const {
    const auto& bytes = FSkinStream.Bytes();
    int32_t length = static_cast<int32_t>(bytes.size());
    stream.WriteBuffer(&length, 4);
    if (length > 0) stream.WriteBuffer(bytes.data(), length);
}

// ---- Load operations -------------------------------------------------------------------

void TSkinData::LoadFromFile(const std::string& fileName) {
    bool wasLoading = FLoading;
    FLoading = true;
    FSkinFile = fileName;
    if (Designing()) {
        if (!fileName.empty() && FSkinStream.Size() > 0) FSkinStream.Clear();
        return;
    }
    TMemoryStream bytes;
    bool read = false;
    std::error_code ec;
    if (!fileName.empty() && std::filesystem::is_regular_file(std::filesystem::u8path(fileName), ec)) {
        try {
            bytes.LoadFromFile(fileName);
            read = true;
        } catch (const EStreamError&) {
            // An unreadable file is treated like a missing one.
        }
    }
    if (!read) {
        // Nothing was replaced, so the skin held so far stays usable.
        FLoading = wasLoading;
        return;
    }
    FSkinStream = std::move(bytes);
    FSkinStream.SetPosition(0);
    LoadSkin();
    if (SkinFormtype == sfMainform) UpdateSkin();
}

void TSkinData::LoadFromStream(TStream& stream) {
    FLoading = true;
    FSkinStream.Clear();
    stream.SetPosition(0);
    FSkinStream.CopyFrom(stream, stream.Size());
    FSkinStream.SetPosition(0);
    LoadSkin();
    if (SkinFormtype == sfMainform) UpdateSkin();
}

void TSkinData::LoadFromCollection(TSkinStore* store, int index) {
    if (!store || index < 0 || index >= store->Store().Count()) return;
    FLoading = true;
    store->CopySkin(index, FSkinStream);
    FSkinStream.SetPosition(0);
    LoadSkin();
    UpdateSkin();
}

// ---- Queries ----------------------------------------------------------------------------

TColor TSkinData::GetColor(const std::string& text, TColor defaultColor) const {
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) return defaultColor;
    return strcolor(text);
}

bool TSkinData::GetPrecolor(TColor& color, int index) const {
    if (index < 0 || index >= static_cast<int>(PreColors.size())) return false;
    color = PreColors[index];
    return true;
}

std::string TSkinData::GetFileName(const std::string& name) {
    auto dot = name.find('.');
    if (dot == std::string::npos) return {};
    return name.substr(0, dot);
}

void TSkinData::ChangeProperty(TObject* object, const std::string& propertyName, const std::string& value) {
    if (!object) return;
    const TPropInfo* info = object->ClassInfo().FindProp(propertyName);
    if (!info || info->Kind != TPropKind::Enumeration || !info->SetOrd) return;
    auto it = std::find(info->Names.begin(), info->Names.end(), value);
    if (it != info->Names.end()) info->SetOrd(*object, it - info->Names.begin());
}

bool TSkinData::GetScrollBarInfo(TWindowHandle window, int32_t object, void* info) {
    return PlatformScrollBarInfo(window, object, info);
}

// ---- Activation ---------------------------------------------------------------------------

void TSkinData::MakeCurrent() {
    TSkinManageBase* m = EnsureSkinManager();
    m->FCurrentSkin = this;
    m->FSkinData = this;
}

void TSkinData::RequestAction(int action) {
    TSkinManageBase* m = EnsureSkinManager();
    // The action runs with a pending skin; a request without one would be dropped.
    if (!m->FSkinData) m->FSkinData = this;
    m->SetAction(action, 250);
}

void TSkinData::SetActive(bool value) {
    if (value == FActive) return;
    FActive = value;
    if (Designing() || Reading()) return;
    switch (SkinFormtype) {
    case sfOnlyThisForm:
        MakeCurrent();
        if (!(value && FLoading)) RequestAction(value ? 1 : 2);
        break;
    case sfDialog:
    case sfDLL: break;
    case sfMainform:
        if (value) {
            if (FLoading) return;
            MakeCurrent();
            RequestAction(1);
            SkinManager->FSkinCount = 1;
        } else {
            MakeCurrent();
            RequestAction(2);
        }
        break;
    }
}

void TSkinData::Loaded() {
    TComponent::Loaded();
    if (Designing()) return;
    if (!PlatformHasScrollBarInfo()) SkinControls.Exclude(xcScrollbar);
    TSkinManageBase* m = EnsureSkinManager();
    m->AddSkinData(this);
    CreateCaptionFont();
    if (SkinFormtype != sfMainform) {
        m->FEnabled = true;
        ++m->FSkinCount;
        if (FActive) m->AddOwnerForm(Owner());
        return;
    }
    m->InstallHook();
    if (FActive) {
        if (FLoading) {
            FActive = false;
        } else {
            MakeCurrent();
            RequestAction(1);
        }
    }
    if (SkinControls.Contains(xcMainMenu)) {
        SkinControls.Exclude(xcMenuItem);
    } else {
        SkinControls.Exclude(xcSystemMenu);
    }
    GetAppIcon();
}

void TSkinData::UpdateSkin() {
    if (Designing() || Reading()) return;
    if (!SkinManager) Loaded();
    MakeCurrent();
    SkinManager->DeleteSysbtn(this);
    if (SkinManager->FSkinCount == 1) RequestAction(3);
}

void TSkinData::Install() { RequestAction(1); }
void TSkinData::Uninstall() { RequestAction(2); }

void TSkinData::EnableSkin(bool value) { EnsureSkinManager()->FEnabled = value; }

void TSkinData::SkinForm(TWindowHandle window) {
    TSkinManageBase* m = EnsureSkinManager();
    m->FAdding = true;
    m->AddForm(window);
    m->FAdding = false;
}

void TSkinData::ChangeForm(TWindowHandle form) {
    TSkinManageBase* m = EnsureSkinManager();
    m->FChangeWindow = form;
    MakeCurrent();
    RequestAction(7);
}

void TSkinData::UpdateSkinControl(TWindowHandle form, void* control) {
    if (SkinManager) SkinManager->UpdateSkinControl(form, control);
}
void TSkinData::UpdateMenu(TWindowHandle form) {
    if (SkinManager) SkinManager->UpdateMenu(form);
}
void TSkinData::AddNestForm(TWindowHandle host, TWindowHandle nested) {
    if (SkinManager) SkinManager->AddNestForm(host, nested);
}
void TSkinData::DeleteGraphicControl(TWindowHandle form, void* control) {
    if (SkinManager) SkinManager->DeleteGraphicControl(form, control);
}

void TSkinData::UpdateMainMenu(bool value) {
    MenuUpdate = value;
    if (value && SkinManager) SkinManager->UpdateMainMenu();
}

void TSkinData::InstallThread(uint32_t threadId) { EnsureSkinManager()->InstallThread(threadId); }
void TSkinData::UnInstallThread(uint32_t threadId) {
    if (SkinManager) SkinManager->UnInstallThread(threadId);
}

void TSkinData::DoFormSkin(TWindowHandle window, const std::string& className, bool& doSkin) {
    LastFormWindow = window;
    if (OnFormSkin) {
        OnFormSkin(this, className, doSkin);
        return;
    }
    if (className == "SysMonthCal32") doSkin = false;
    if (SkinControls.Contains(xcFastReport) && className.compare(0, 3, "Tfr") == 0) doSkin = false;
}

void TSkinData::DoSkinChanged() {
    if (OnSkinChanged) OnSkinChanged(this);
}

void TSkinData::DoDebug(const std::string& text) {
    if (DebugLines) DebugLines->push_back(text);
}

// ---- Free functions ------------------------------------------------------------------------

void CopyBMP(const TBitmap& source, TBitmap& target) { target = source; }

void SkinDll(const TSkinManageBase& host) {
    TSkinManageBase* m = EnsureSkinManager();
    m->AssignData(host);
    m->InstallHook();
    ++m->FSkinCount;
}

}  // namespace quorin
