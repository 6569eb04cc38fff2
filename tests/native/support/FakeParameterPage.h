// An in-memory QUORIN-Q1 page: the parameter controls with their stored item lists and
// defaults, the click rules of the check boxes and the conversion-mode rule, and a journal
// of what the protocol code did to it, so tests can check order and side effects.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/ParameterPage.h"

namespace quorin::test {

class TFakeParameterPage : public TParameterPage {
public:
    struct TCombo {
        std::vector<std::string> Items;
        int Index = -1;
    };

    std::map<std::string, TCombo, std::less<>> Combos{
        {"ComboBoxSwitchMode", {{"透明转换", "透明带标识转换", "格式转换"}, 0}},
        {"ComboBoxSwtichRoute", {{"双向转换", "仅串口转CAN", "仅CAN转串口"}, 0}},
        {"ComboBoxCANIDOffset", {{"0", "1", "2", "3", "4", "5", "6", "7"}, 0}},
        {"ComboBoxCANIDLen", {{"1", "2", "3", "4"}, 0}},
        {"ComboBoxUARTMode", {{"RS232", "RS485", "RS422"}, 0}},
        {"ComboBoxUARTBuadrateIndex",
         {{"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200", "230400", "460800", "921600"},
          3}},
        {"ComboBoxUARTDataBitIndex", {{"7", "8"}, 1}},
        {"ComboBoxUARTStopBitIndex", {{"1", "2"}, 0}},
        {"ComboBoxUARTParityBitIndex", {{"无校验", "奇校验", "偶校验"}, 0}},
        {"ComboBoxFDStandard", {{"ISO"}, 0}},
        {"ComboBoxCANType", {{"CAN", "CANFD"}, 0}},
        {"ComboBoxCANFrameType", {{"标准帧", "扩展帧"}, 0}},
        {"ComboBoxBitRateSwitch", {{"否", "是"}, 0}},
        {"ComboBoxtBaudrateIndexA",
         {{"1Mbps", "预留1", "预留2", "500Kbps", "预留3", "250Kbps", "预留4", "125Kbps", "100Kbps", "预留5", "50Kbps",
           "40Kbps", "20Kbps", "10Kbps", "5Kbps"},
          0}},
        {"ComboBoxtBaudrateIndexB",
         {{"5Mbps", "4Mbps", "预留1", "预留2", "2Mbps", "预留3", "1Mbps", "预留4", "500kbps", "预留5", "250Kbps",
           "预留6", "125Kbps", "100Kbps", "预留7"},
          0}},
    };
    std::map<std::string, std::string, std::less<>> Edits{
        {"EditUARTFrameInterVal", "0"}, {"EditCANFrameInterval", "0"}, {"EditCANID", "00000000"},
        {"EditBaudrateA", "00050B2E"},  {"EditBaudrateB", "00008207"},
    };
    std::map<std::string, bool, std::less<>> Checks{
        {"CheckBoxCANFrameInfoEnable", false},
        {"CheckBoxCANIDInfoEnable", false},
        {"CheckBoxBuadrateCustom", false},
        {"CheckBoxVandrelFilterEnable", false},
    };
    std::map<std::string, std::vector<std::vector<std::string>>, std::less<>> Lists{
        {"ListViewVandrelBasicInfo",
         {{"Vendor ID", ""},
          {"Product Type", ""},
          {"Product Code", ""},
          {"Hardware Version", ""},
          {"Firmware Version", ""},
          {"Serial Number", ""}}},
        {"ListViewVandrelFrameID", {}},
    };
    // Enabled state of the controls the rules touch (start-up state after the mode rule).
    std::map<std::string, bool, std::less<>> Enabled{
        {"ComboBoxCANIDOffset", false},
        {"ComboBoxCANIDLen", false},
        {"EditUARTFrameInterVal", true},
        {"EditCANFrameInterval", true},
        {"CheckBoxCANFrameInfoEnable", true},
        {"CheckBoxCANIDInfoEnable", true},
        {"EditBaudrateA", false},
        {"EditBaudrateB", false},
        {"ComboBoxtBaudrateIndexA", true},
        {"ComboBoxtBaudrateIndexB", true},
        {"ListViewVandrelFrameID", false},
    };
    // One line per change: "index NAME N", "text NAME T", "check NAME 0|1", "click NAME",
    // "clear NAME", "row NAME", "mode rule".
    std::vector<std::string> Journal;

    int ItemIndex(std::string_view name) const override { return Combo(name).Index; }
    int ItemCount(std::string_view name) const override { return static_cast<int>(Combo(name).Items.size()); }
    void SetItemIndex(std::string_view name, int index) override {
        TCombo& c = Combo(name);
        c.Index = index >= 0 && index < static_cast<int>(c.Items.size()) ? index : -1;
        Journal.push_back("index " + std::string(name) + " " + std::to_string(index));
    }

    std::string Text(std::string_view name) const override {
        if (auto e = Edits.find(name); e != Edits.end()) return e->second;
        const TCombo& c = Combo(name);
        return c.Index < 0 ? std::string() : c.Items[static_cast<std::size_t>(c.Index)];
    }
    void SetText(std::string_view name, const std::string& text) override {
        auto e = Edits.find(name);
        if (e == Edits.end()) throw std::logic_error("no edit " + std::string(name));
        e->second = text;
        Journal.push_back("text " + std::string(name) + " " + text);
    }

    bool Checked(std::string_view name) const override { return Check(name); }
    void SetChecked(std::string_view name, bool checked) override {
        bool& state = Check(name);
        Journal.push_back("check " + std::string(name) + (checked ? " 1" : " 0"));
        if (state == checked) return;
        state = checked;
        Journal.push_back("click " + std::string(name));
        if (name == "CheckBoxBuadrateCustom") {
            Enabled["EditBaudrateA"] = Enabled["EditBaudrateB"] = checked;
            Enabled["ComboBoxtBaudrateIndexA"] = Enabled["ComboBoxtBaudrateIndexB"] = !checked;
        } else {
            Enabled["ListViewVandrelFrameID"] = Checks["CheckBoxVandrelFilterEnable"];
        }
    }

    int RowCount(std::string_view name) const override { return static_cast<int>(List(name).size()); }
    std::vector<std::string> Row(std::string_view name, int index) const override {
        return List(name).at(static_cast<std::size_t>(index));
    }
    void ClearRows(std::string_view name) override {
        List(name).clear();
        Journal.push_back("clear " + std::string(name));
    }
    void AddRow(std::string_view name, const std::vector<std::string>& cells) override {
        List(name).push_back(cells);
        Journal.push_back("row " + std::string(name));
    }

    void ApplySwitchModeRule() override {
        Journal.push_back("mode rule");
        const int mode = Combos["ComboBoxSwitchMode"].Index;
        if (mode < 0 || mode > 2) return;
        Enabled["ComboBoxCANIDOffset"] = Enabled["ComboBoxCANIDLen"] = mode == 1;
        Enabled["EditUARTFrameInterVal"] = mode != 2;
        Enabled["EditCANFrameInterval"] = true;
        Enabled["CheckBoxCANFrameInfoEnable"] = Enabled["CheckBoxCANIDInfoEnable"] = mode == 0;
    }

    // Position of the first journal line that starts with prefix, or -1.
    int JournalPos(const std::string& prefix) const {
        for (std::size_t i = 0; i < Journal.size(); ++i)
            if (Journal[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }

private:
    template <class M>
    static auto& Find(M& map, std::string_view name) {
        auto it = map.find(name);
        if (it == map.end()) throw std::logic_error("no control " + std::string(name));
        return it->second;
    }
    TCombo& Combo(std::string_view name) { return Find(Combos, name); }
    const TCombo& Combo(std::string_view name) const { return Find(Combos, name); }
    bool& Check(std::string_view name) { return Find(Checks, name); }
    bool Check(std::string_view name) const { return Find(Checks, name); }
    std::vector<std::vector<std::string>>& List(std::string_view name) { return Find(Lists, name); }
    const std::vector<std::vector<std::string>>& List(std::string_view name) const { return Find(Lists, name); }
};

}  // namespace quorin::test
