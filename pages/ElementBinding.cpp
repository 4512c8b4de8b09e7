#include "pages/ElementBinding.h"

#include <initializer_list>

namespace kesto {

namespace {

struct Group {
    ElementKind kind;
    std::initializer_list<std::string_view> ids;
};

// Binding order: status page, survey and profile pages, adapter settings, EAP pages,
// security steps, add-profile and wizard, AP pages. Numbered runs are expanded below.
const Group kStatusTexts{ElementKind::Text,
                         {"TextProfileName", "TextNetworkName", "TextstationAPMac",
                          "TextNetworkType", "TextTransRate", "TextSecurity", "TextChannel",
                          "TextTransmitRate", "TextReceiveRate", "TextAuthentication",
                          "TextNetworkMode", "TextTotalTrans", "TextTotalReceive", "TextLinkQual"}};

const Group kAfterBars[] = {
    {ElementKind::Text,
     {"TextTab2NetworkType", "TextTab2Channel", "TextTab2Encry", "TextTab2MAC", "TextTab2Survey",
      "TextTab3NetworkType", "TextTab3SSID", "TextTab3Channel", "TextTab3Security",
      "TextTab3TransTate"}},
    {ElementKind::Select, {"SelectRate", "SelectPreamble", "SelectSaving", "SelectRadius"}},
    {ElementKind::Text,
     {"TextMd5LoginName", "TextMd5Password", "TextPeapLoginName", "TextPeapPassword"}},
    {ElementKind::Check, {"CheckboxPeap"}},
    {ElementKind::Select, {"SelectPeapInnerEap"}},
    {ElementKind::Text, {"TextTlsLoginName", "TextTlsCerti"}},
    {ElementKind::Check, {"CheckboxTls"}},
    {ElementKind::Text, {"TextTtlsLoginName", "TextTtlsPassword"}},
    {ElementKind::Check, {"CheckboxTtls"}},
    // The name each validated server's certificate must carry.
    {ElementKind::Text, {"TextPeapServerName", "TextTlsServerName", "TextTtlsServerName"}},
    {ElementKind::Select, {"SelectTtlsProtocal", "SelectWepWep", "SelectWepAuthen"}},
    {ElementKind::Text, {"TextWepPassPhrase", "TextWepKey", "KeyText"}},
    {ElementKind::Select, {"SelectWepKey"}},
    // One member for the WEP radio group whatever the page's letter case.
    {ElementKind::Radio, {"RadioGroupWep"}},
    {ElementKind::Select, {"SelectPskEncryType"}},
    {ElementKind::Text, {"TextPskPassPhrase"}},
    {ElementKind::Select, {"SelectRadiusEncryType"}},
    {ElementKind::Text, {"TextAddProfile", "TextAddSSID"}},
    {ElementKind::Radio, {"RadioGroup"}},
    {ElementKind::Select, {"SelectPrfStep1Channel", "SelectPrfStep1WMode", "SelectPrfStep2EMode"}},
    {ElementKind::Text,
     {"TextPrfStep3SSID", "TextPrfStep3NetworkType", "TextPrfStep3Channel", "TextPrfStep3Security",
      "TextPrfStep3IPAdress", "TextPrfStep3SubnetMask", "TextPrfStep3GateWay", "TextPrfStep3DNS"}},
    {ElementKind::Text,
     {"TextAPSSID", "TextAPChannel", "TextAPTrRate", "TextAPSecurity", "TextAPMAC",
      "TextAPOutPower", "TextAPSetSSID"}},
    {ElementKind::Check, {"CheckboxHideSSID"}},
    {ElementKind::Select, {"SelectAPChannel", "SelectAPOutPower", "SelectAPWep", "SelectAPAuthen"}},
    {ElementKind::Text, {"TextAPPassPhrase", "TextAPWepKey"}},
    {ElementKind::Select, {"SelectAPKey", "SelectAPFilterType"}},
};

std::string TwoDigits(int n)
{
    return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

} // namespace

ElementBinding::ElementBinding()
{
    auto add = [this](const Group& group) {
        for (std::string_view id : group.ids)
            m_members.push_back({std::string(id), group.kind, {}, 0});
    };
    add(kStatusTexts);
    for (int i = 1; i <= 10; ++i)
        m_members.push_back({"ImageSignStr" + TwoDigits(i), ElementKind::Image, {}, 0});
    for (int i = 1; i <= 10; ++i)
        m_members.push_back({"ImageLinkQual" + TwoDigits(i), ElementKind::Image, {}, 0});
    for (const Group& group : kAfterBars)
        add(group);
    for (int i = 1; i <= 16; ++i)
        m_members.push_back({"TextFilterAddress" + std::to_string(i), ElementKind::Text, {}, 0});
}

ElementBinding::ElementBinding(const std::vector<BoundElement>& members)
{
    for (const BoundElement& member : members)
        m_members.push_back({member.id, member.kind, {}, 0});
}

const ElementBinding::Member* ElementBinding::Find(std::string_view id) const
{
    for (const Member& m : m_members)
        if (EqualsNoCase(m.id, id))
            return &m;
    return nullptr;
}

ElementBinding::Member* ElementBinding::Find(std::string_view id)
{
    for (Member& m : m_members)
        if (EqualsNoCase(m.id, id))
            return &m;
    return nullptr;
}

void ElementBinding::Push(PageMirror& page) const
{
    for (const Member& m : m_members) {
        if (CarriesText(m.kind))
            page.SetText(m.id, m.text);
        else
            page.SetNumber(m.id, m.number);
    }
}

void ElementBinding::Pull(const PageMirror& page)
{
    for (Member& m : m_members) {
        const ElementInfo* info = page.Find(m.id);
        if (!info)
            continue;
        if (CarriesText(m.kind) && CarriesText(info->kind))
            m.text = page.Text(m.id);
        else if (CarriesNumber(m.kind) && CarriesNumber(info->kind))
            m.number = page.Number(m.id);
    }
}

std::string_view ElementBinding::Text(std::string_view id) const
{
    const Member* m = Find(id);
    return m ? std::string_view(m->text) : std::string_view();
}

int ElementBinding::Number(std::string_view id) const
{
    const Member* m = Find(id);
    return m ? m->number : 0;
}

bool ElementBinding::SetText(std::string_view id, std::string_view text)
{
    Member* m = Find(id);
    if (!m || !CarriesText(m->kind))
        return false;
    m->text = text;
    return true;
}

bool ElementBinding::SetNumber(std::string_view id, int number)
{
    Member* m = Find(id);
    if (!m || !CarriesNumber(m->kind))
        return false;
    m->number = number;
    return true;
}

std::vector<ElementInfo> ElementBinding::Members() const
{
    std::vector<ElementInfo> out;
    out.reserve(m_members.size());
    for (const Member& m : m_members)
        out.push_back({m.id, m.kind, 0});
    return out;
}

} // namespace kesto
