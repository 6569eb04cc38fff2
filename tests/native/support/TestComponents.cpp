#include "TestComponents.h"

namespace quorin::test {

QUORIN_DEFINE_CLASS(TTestPart, TPersistent) {
    p.Str("Name", &TTestPart::Name, &TTestPart::SetName);
    p.Int("Size", &TTestPart::Size, &TTestPart::SetSize);
}

QUORIN_DEFINE_CLASS(TTestItem, TCollectionItem) {
    p.Str("Caption", &TTestItem::Caption, [](TTestItem& o, const std::string& v) { o.Caption = v; });
    p.Int("Width", &TTestItem::Width, [](TTestItem& o, int32_t v) { o.Width = v; });
}

void TTestItem::Assign(const TPersistent& Source) {
    if (auto* s = dynamic_cast<const TTestItem*>(&Source)) {
        Caption = s->Caption;
        Width = s->Width;
        return;
    }
    TCollectionItem::Assign(Source);
}

QUORIN_DEFINE_CLASS(TTestThing, TComponent) {
    p.Int("Count", &TTestThing::Count, &TTestThing::SetCount).Idents = {{"cntMany", 1000}};
    p.Int(
        "Level", &TTestThing::Level, [](TTestThing& o, int32_t v) { o.Level = uint8_t(v); }, 0, 255);
    p.Bool("Flag", &TTestThing::Flag, [](TTestThing& o, bool v) { o.Flag = v; });
    p.Enum<TShape>("Shape", &TTestThing::Shape, [](TTestThing& o, TShape v) { o.Shape = v; },
                   {"shNone", "shBox", "shRound"});
    p.Set("Options", &TTestThing::Options, [](TTestThing& o, uint32_t v) { o.Options = v; },
          {"opRed", "opGreen", "opBlue"});
    p.Str("Text", &TTestThing::Text, [](TTestThing& o, const std::string& v) { o.Text = v; });
    p.Ref<TTestThing>("Buddy", &TTestThing::Buddy, [](TTestThing& o, TTestThing* v) {
        o.Buddy = v;
        if (v) o.FreeNotification(v);
    });
    p.Part<TTestPart>("Part", &TTestThing::Part);
    p.Strings("Lines", &TTestThing::Lines);
    p.Collection("Items", &TTestThing::Items);
    p.Binary(
        "Data",
        [](TTestThing& o, TStream& s) {
            o.Data.resize(size_t(s.Size()));
            s.ReadBuffer(o.Data.data(), int64_t(o.Data.size()));
        },
        [](const TTestThing& o, TStream& s) { s.WriteBuffer(o.Data.data(), int64_t(o.Data.size())); });
    p.Event("OnClick", &TTestThing::OnClick);
    p.Event("OnCount", &TTestThing::OnCount);
    p.Int(
        "ReadOnlyNumber", [](const TTestThing&) { return 7; }, nullptr);
}

TTestThing::TTestThing(TComponent* AOwner) : TComponent(AOwner) {}

TTestThing::~TTestThing() {
    if (Destroyed) Destroyed->push_back(Tag());
}

void TTestThing::Loaded() {
    TComponent::Loaded();
    ++LoadedCalls;
}

void TTestThing::SetCount(int32_t v) {
    if (v < 0) throw Exception("Count cannot be negative");
    Count = v;
}

void TTestThing::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == Buddy) Buddy = nullptr;
}

QUORIN_DEFINE_CLASS(TTestRoot, TComponent) {}

TTestRoot::TTestRoot(TComponent* AOwner) : TComponent(AOwner) {
    RegisterHandler("ThingClick", &TTestRoot::ThingClick);
    RegisterHandler("ThingCount", &TTestRoot::ThingCount);
    BindField("First", First);
    BindField("Second", Second);
}

void TTestRoot::ThingClick(TObject* Sender) { Calls.push_back("click " + static_cast<TComponent*>(Sender)->Name()); }
void TTestRoot::ThingCount(TObject*, int& N) { N += 1; }

}  // namespace quorin::test
