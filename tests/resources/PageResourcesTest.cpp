// The page resources against what the utility's handlers and binding rely on: every
// element identifier with its kind, the option texts in order, the fixed labels, the
// tab bars and images common to the main pages, the initial states the page scripts
// start from, and the frames the native list controls are laid over. The expectations
// are written down here; the pages are read as the build assembled them and the manifest
// is the one compiled into the core.
#include "pages/PageManifest.h"
#include "tests/support/TempDir.h"
#include "tools/pagemanifest/HtmlScanner.h"
#include "tools/pagemanifest/PageScan.h"

#include <gtest/gtest.h>

#include <charconv>
#include <deque>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {
namespace {

using pages::HtmlScanner;
using pages::HtmlToken;

struct Expected {
    std::string_view id;
    ElementKind kind;
    // Select: option texts in order; Radio: member ids in order.
    std::vector<std::string_view> options;
};

Expected T(std::string_view id)
{
    return {id, ElementKind::Text, {}};
}
Expected I(std::string_view id)
{
    return {id, ElementKind::Image, {}};
}
Expected C(std::string_view id)
{
    return {id, ElementKind::Check, {}};
}
Expected B(std::string_view id)
{
    return {id, ElementKind::Button, {}};
}
Expected S(std::string_view id, std::vector<std::string_view> options)
{
    return {id, ElementKind::Select, std::move(options)};
}
Expected R(std::string_view id, std::vector<std::string_view> members)
{
    return {id, ElementKind::Radio, std::move(members)};
}

enum class Frame { Station, Ap, None };

struct PageCase {
    int page;
    Frame frame;
    std::vector<Expected> elements;
    std::vector<std::string_view> labels;
};

std::ostream& operator<<(std::ostream& os, const PageCase& c)
{
    return os << "page " << c.page;
}

// ---- option lists ----
const std::vector<std::string_view> kRates = {
    "Comp. aut.", "54 Mbps", "48 Mbps", "36 Mbps",  "24 Mbps", "18 Mbps", "12 Mbps",
    "11 Mbps",    "9 Mbps",  "6 Mbps",  "5.5 Mbps", "2 Mbps",  "1 Mbps"};
const std::vector<std::string_view> kWepSizes = {"64 Bits", "128 Bits", "256 Bits"};
const std::vector<std::string_view> kAuthen = {"Offenes System", "Gemeins. Schlüssel", "Auto"};
const std::vector<std::string_view> kKeys = {"Taste 1", "Taste 2", "Taste 3", "Taste 4"};
const std::vector<std::string_view> kRadius = {"EAP-TLS", "EAP-TTLS", "EAP-MD5", "EAP-PEAP",
                                               "LEAP"};
const std::vector<std::string_view> kInnerEap = {"MD5 CHALLENGE", "TOKEN CARD", "MD CHAP V2"};
const std::vector<std::string_view> kTtls = {"PAP", "CHAP",        "MSCHAP",   "MSCHAPV2",
                                             "EAP", "Certificate", "PAP TOKEN"};
const std::vector<std::string_view> kCiphers = {"TKIP", "AES"};
const std::vector<std::string_view> kChannels13 = {"CH 1",  "CH 2",  "CH 3", "CH 4", "CH 5",
                                                   "CH 6",  "CH 7",  "CH 8", "CH 9", "CH 10",
                                                   "CH 11", "CH 12", "CH 13"};
const std::vector<std::string_view> kChannels11 = {"CH 1", "CH 2", "CH 3", "CH 4",  "CH 5", "CH 6",
                                                   "CH 7", "CH 8", "CH 9", "CH 10", "CH 11"};
const std::vector<std::string_view> kRadioPair = {"Radio1", "Radio2"};
constexpr std::string_view kValidate = "Validate server certificate(Click to Enable or Disable)";

std::vector<Expected> Join(std::initializer_list<std::vector<Expected>> parts)
{
    std::vector<Expected> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<Expected> Bars(std::string_view prefix)
{
    static std::deque<std::string> names; // keeps the ids alive for the string_views
    std::vector<Expected> bars;
    for (int i = 1; i <= 10; ++i) {
        names.push_back(std::string(prefix) + (i < 10 ? "0" : "") + std::to_string(i));
        bars.push_back(I(names.back()));
    }
    return bars;
}

std::vector<Expected> WepEntry()
{
    return {S("SelectWepWep", kWepSizes),
            S("SelectWepAuthen", kAuthen),
            R("RadioGroupWep", kRadioPair),
            T("TextWepPassPhrase"),
            S("SelectWepKey", kKeys),
            T("KeyText"),
            T("TextWepKey")};
}

std::vector<Expected> Confirmation()
{
    return {T("TextPrfStep3SSID"),     T("TextPrfStep3NetworkType"), T("TextPrfStep3Channel"),
            T("TextPrfStep3Security"), T("TextPrfStep3IPAdress"),    T("TextPrfStep3SubnetMask"),
            T("TextPrfStep3GateWay"),  T("TextPrfStep3DNS"),         B("ButtonBackPrfStep3"),
            B("ButtonNextPrfStep3"),   B("ButtonExitPrfStep3")};
}

std::vector<Expected> AddProfile()
{
    return {T("TextAddProfile"), T("TextAddSSID"),   R("RadioGroup", kRadioPair),
            B("ButtonNextAdd"),  B("ButtonExitAdd"), B("ButtonScanAdd"),
            B("ButtonSelectAdd")};
}

std::vector<Expected> Step1(const std::vector<std::string_view>& channels)
{
    return {S("SelectPrfStep1Channel", channels),
            S("SelectPrfStep1WMode", {"Gemischtmodus", "Nur G", "Nur B"}), B("ButtonBackPrfStep1"),
            B("ButtonNextPrfStep1"), B("ButtonExitPrfStep1")};
}

std::vector<PageCase> Cases()
{
    static std::deque<std::string> filterNames;
    std::vector<Expected> filter = {
        S("SelectAPFilterType", {"Deaktiviert", "Akzeptieren", "Ablehnen"})};
    for (int i = 1; i <= 16; ++i) {
        filterNames.push_back("TextFilterAddress" + std::to_string(i));
        filter.push_back(T(filterNames.back()));
    }
    filter.push_back(B("ButtonSaveAPFilter"));
    filter.push_back(B("ButtonCancelAPFilter"));

    return {
        {236,
         Frame::Station,
         Join({{T("TextProfileName"), T("TextNetworkName"), T("TextstationAPMac"),
                T("TextNetworkType"), T("TextTransRate"), T("TextSecurity"), T("TextChannel"),
                T("TextTransmitRate"), T("TextReceiveRate"), T("TextAuthentication"),
                T("TextNetworkMode"), T("TextTotalTrans"), T("TextTotalReceive"), T("TextLinkQual"),
                B("ButtonChart")},
               Bars("ImageSignStr"),
               Bars("ImageLinkQual")}),
         {"Status des kabellosen Netzwerks", "Feldstärke:"}},
        {237,
         Frame::Station,
         {B("ButtonSiteScan"), B("ButtonSiteCon"), T("TextTab2NetworkType"), T("TextTab2Channel"),
          T("TextTab2Encry"), T("TextTab2MAC"), T("TextTab2Survey")},
         {}},
        {238,
         Frame::Station,
         {B("ButtonConPrf"), B("ButtonAddPrf"), B("ButtonDelPrf"), B("ButtonEditPrf"),
          T("TextTab3NetworkType"), T("TextTab3SSID"), T("TextTab3Channel"), T("TextTab3Security"),
          T("TextTab3TransTate")},
         {}},
        {239,
         Frame::Station,
         {S("SelectRate", kRates), S("SelectPreamble", {"Lange", "Kurz", "Auto"}),
          S("SelectSaving", {"Deaktiviert", "Aktiviert"}), B("ButtonSaveAdp")},
         {"Adapter", "Übertragungsrate:", "Präambeltyp:", "Stromsparmodus:"}},
        {240,
         Frame::Station,
         Join({WepEntry(), {B("ButtonBackWep"), B("ButtonNextWep"), B("ButtonExitWep")}}),
         {}},
        {289,
         Frame::Station,
         Join({WepEntry(), {B("ButtonBackWep"), B("ButtonNextWep"), B("ButtonExitWep")}}),
         {}},
        {241,
         Frame::Station,
         {S("SelectRadius", kRadius), T("TextMd5LoginName"), T("TextMd5Password"),
          B("ButtonBackEapMd5"), B("ButtonNextEapMd5"), B("ButtonExitEapMd5")},
         {}},
        {242,
         Frame::Station,
         {S("SelectRadius", kRadius), T("TextPeapLoginName"), T("TextPeapPassword"),
          C("CheckboxPeap"), S("SelectPeapInnerEap", kInnerEap), B("ButtonBackEapPeap"),
          B("ButtonNextEapPeap"), B("ButtonExitEapPeap")},
         {kValidate}},
        {243,
         Frame::Station,
         {S("SelectRadius", kRadius), T("TextTlsLoginName"), T("TextTlsCerti"),
          B("ButtonSelPerCert"), C("CheckboxTls"), B("ButtonBackEapTls"), B("ButtonNextEapTls"),
          B("ButtonExitEapTls")},
         {kValidate}},
        {244,
         Frame::Station,
         {S("SelectRadius", kRadius), T("TextTtlsLoginName"), T("TextTtlsPassword"),
          C("CheckboxTtls"), S("SelectTtlsProtocal", kTtls), B("ButtonBackEapTtls"),
          B("ButtonNextEapTtls"), B("ButtonExitEapTtls")},
         {kValidate}},
        {245,
         Frame::Station,
         {T("TextPskEncryType"), S("SelectPskEncryType", kCiphers), T("TextPskPassPhrase"),
          B("ButtonBackWpaPsk"), B("ButtonNextWpaPsk"), B("ButtonExitWpaPsk")},
         {}},
        {246,
         Frame::Station,
         {T("TextRadiusEncryType"), S("SelectRadiusEncryType", kCiphers), B("ButtonBackWpaRadius"),
          B("ButtonNextWpaRadius"), B("ButtonExitWpaRadius")},
         {}},
        {247, Frame::Station, Confirmation(), {}},
        {265, Frame::Station, Confirmation(), {}},
        {256, Frame::Station, AddProfile(), {}},
        {260, Frame::Station, AddProfile(), {}},
        {257, Frame::Station, Step1(kChannels13), {}},
        {264, Frame::Station, Step1(kChannels11), {}},
        {258,
         Frame::Station,
         {S("SelectPrfStep2EMode", {"Disab.", "WEP", "WPA-PSK", "WPA-RADIUS", "RADIUS"}),
          B("ButtonBackPrfStep2"), B("ButtonNextPrfStep2"), B("ButtonExitPrfStep2")},
         {}},
        {259, Frame::None, {B("ActiveNow"), B("ActiveLater")}, {}},
        {266, Frame::None, {B("ActiveNow"), B("ActiveLater")}, {}},
        {261,
         Frame::Ap,
         {T("TextAPSSID"), T("TextAPChannel"), T("TextAPTrRate"), T("TextAPSecurity"),
          T("TextAPMAC"), T("TextAPOutPower"), B("ButtonAPRefresh")},
         {"Status", "Gegenwärtiger Kanal:", "Übertragungsrate:", "Sicherheit:", "MAC:",
          "Ausgabeleistung:", "Liste mit Verknüpfungen"}},
        {262,
         Frame::Ap,
         {T("TextAPSetSSID"),
          C("CheckboxHideSSID"),
          S("SelectAPChannel", kChannels13),
          S("SelectAPOutPower", {"Hoch", "Mittel-Hoch", "Mittel-Niedrig", "Niedrig"}),
          S("SelectAPWep", {"Deaktiviert", "64 Bits", "128 Bits", "256 Bits"}),
          S("SelectAPAuthen", kAuthen),
          {"Radio1", ElementKind::Other, {}},
          {"Radio2", ElementKind::Other, {}},
          T("TextAPPassPhrase"),
          S("SelectAPKey", kKeys),
          T("KeyText"),
          T("TextAPWepKey"),
          B("ButtonSaveAPSet"),
          B("ButtonCancelAPSet")},
         {"Kabellose Einstellung", "SSID ausblenden"}},
        {263, Frame::Ap, filter, {}},
        {248, Frame::None, Join({WepEntry(), {B("ButtonPopSaveWep")}}), {}},
        {249,
         Frame::None,
         {S("SelectPopRadius", kRadius), T("TextPopMd5LoginName"), T("TextPopMd5Password"),
          B("ButtonPopBackEapMd5"), B("ButtonPopSaveEapMd5")},
         {}},
        {250,
         Frame::None,
         {S("SelectPopRadius", kRadius), T("TextPopPeapLoginName"), T("TextPopPeapPassword"),
          C("CheckboxPopPeap"), S("SelectPopPeapInnerEap", kInnerEap), B("ButtonPopBackEapPeap"),
          B("ButtonPopSaveEapPeap")},
         {kValidate}},
        {251,
         Frame::None,
         {S("SelectPopRadius", kRadius), T("TextPopTlsLoginName"), B("ButtonPopSelPerCert"),
          C("CheckboxPopTls"), B("ButtonPopBackEapTls"), B("ButtonPopSaveEapTls")},
         {kValidate}},
        {252,
         Frame::None,
         {S("SelectPopRadius", kRadius), T("TextPopTtlsLoginName"), T("TextPopTtlsPassword"),
          C("CheckboxPopTtls"), S("SelectPopTtlsProtocal", kTtls), B("ButtonPopBackEapTtls"),
          B("ButtonPopSaveEapTtls")},
         {kValidate}},
        {253,
         Frame::None,
         {S("SelPskEncryType", kCiphers), T("TextPopPskPassPhrase"), B("ButtonPopSaveWpaPsk")},
         {}},
        {254, Frame::None, {S("SelRadiusEncryType", kCiphers), B("ButtonPopNextWpaRadius")}, {}},
        {107,
         Frame::None,
         {T("ChartTransmitRate"), T("ChartReceiveRate")},
         {"Datenübertragungsrate", "Senden:", "Empfangen:", "Kbps", "10000", "1000", "100", "10",
          "0"}},
        {109,
         Frame::None,
         {T("TextDriverVersion"), I("ImageClose")},
         {"Kesto Hilfsprogramm", "Treiberversion:", "Version des Hilfsprogramms:", "2.0.0"}},
    };
}

std::string ReadPage(int page)
{
    std::ifstream in(test::DataDir() / "pages" / (std::to_string(page) + ".html"),
                     std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The pieces of visible text of a page (one entry per text run, whitespace collapsed).
std::vector<std::string> TextRuns(const std::string& html)
{
    std::vector<std::string> runs;
    HtmlScanner scanner(html);
    HtmlToken token;
    while (scanner.Next(token))
        if (token.type == HtmlToken::Type::Text) {
            std::string run = pages::CollapseSpace(token.text);
            if (!run.empty())
                runs.push_back(run);
        }
    return runs;
}

// All start tags of a page by their id.
std::map<std::string, HtmlToken> TagsById(const std::string& html)
{
    std::map<std::string, HtmlToken> tags;
    HtmlScanner scanner(html);
    HtmlToken token;
    while (scanner.Next(token))
        if (token.type == HtmlToken::Type::StartTag)
            if (const std::string* id = token.Attribute("id"))
                tags.emplace(*id, token);
    return tags;
}

const ElementInfo* Find(std::span<const ElementInfo> elements, std::string_view id)
{
    for (const ElementInfo& e : elements)
        if (e.id == id)
            return &e;
    return nullptr;
}

class PageResources : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageResources, OffersEveryElementWithItsKindAndOptions)
{
    const PageCase& c = GetParam();
    const std::string html = ReadPage(c.page);
    ASSERT_FALSE(html.empty()) << "missing share/kesto/pages/" << c.page << ".html";
    const pages::PageDocument scanned = pages::ScanPage(html, c.page);
    const std::span<const ElementInfo> manifest = PageElements(c.page);

    for (const Expected& want : c.elements) {
        const ElementInfo* got = Find(manifest, want.id);
        ASSERT_NE(got, nullptr) << want.id;
        EXPECT_EQ(got->kind, want.kind) << want.id;
        if (want.kind == ElementKind::Select || want.kind == ElementKind::Radio) {
            EXPECT_EQ(got->optionCount, static_cast<int>(want.options.size())) << want.id;
            for (const pages::PageElement& element : scanned.elements) {
                if (element.id == want.id) {
                    EXPECT_EQ(element.options,
                              std::vector<std::string>(want.options.begin(), want.options.end()))
                        << want.id;
                }
            }
        }
    }
}

TEST_P(PageResources, CarriesTheCommonElementsOfItsKind)
{
    const PageCase& c = GetParam();
    const std::span<const ElementInfo> manifest = PageElements(c.page);
    const bool main = c.frame != Frame::None;
    for (std::string_view image :
         {"ImageStationRadio", "ImageAPRadio", "AboutImage", "MailImage"}) {
        const ElementInfo* got = Find(manifest, image);
        EXPECT_EQ(got != nullptr, main) << image;
        if (got != nullptr) {
            EXPECT_EQ(got->kind, ElementKind::Image) << image;
        }
    }
    for (int tab = 1; tab <= 7; ++tab) {
        const std::string id = "ButtonTab" + std::to_string(tab);
        const bool wanted =
            (c.frame == Frame::Station && tab <= 4) || (c.frame == Frame::Ap && tab >= 5);
        const ElementInfo* got = Find(manifest, id);
        EXPECT_EQ(got != nullptr, wanted) << id;
        if (got != nullptr) {
            EXPECT_EQ(got->kind, ElementKind::Button) << id;
        }
    }
}

TEST_P(PageResources, ShowsItsFixedLabelsInUtf8)
{
    const PageCase& c = GetParam();
    const std::string html = ReadPage(c.page);
    const std::vector<std::string> runs = TextRuns(html);
    for (std::string_view label : c.labels) {
        bool found = false;
        for (const std::string& run : runs)
            found = found || run == label;
        EXPECT_TRUE(found) << "label \"" << label << "\"";
    }
    bool utf8 = false;
    HtmlScanner scanner(html);
    HtmlToken token;
    while (scanner.Next(token))
        if (token.type == HtmlToken::Type::StartTag && token.name == "meta")
            if (const std::string* charset = token.Attribute("charset"))
                utf8 = utf8 || *charset == "utf-8";
    EXPECT_TRUE(utf8) << "<meta charset=\"utf-8\">";
}

// The compiled manifest is the one of the pages in the tree (a stale or miswritten
// manifest would let the mirror disagree with the page it shows).
TEST_P(PageResources, ManifestMatchesThePageInTheTree)
{
    const PageCase& c = GetParam();
    const pages::PageDocument scanned = pages::ScanPage(ReadPage(c.page), c.page);
    const std::span<const ElementInfo> manifest = PageElements(c.page);
    ASSERT_EQ(manifest.size(), scanned.elements.size());
    for (std::size_t i = 0; i < manifest.size(); ++i) {
        EXPECT_EQ(manifest[i].id, scanned.elements[i].id);
        EXPECT_EQ(manifest[i].kind, scanned.elements[i].kind) << manifest[i].id;
    }
}

std::string PageName(const ::testing::TestParamInfo<PageCase>& param)
{
    return "Page" + std::to_string(param.param.page);
}

INSTANTIATE_TEST_SUITE_P(AllPages, PageResources, ::testing::ValuesIn(Cases()), PageName);

TEST(PageManifest, UnknownPagesHaveNoElements)
{
    for (int page : {0, -1, 1, 108, 235, 255, 267, 290, 100000})
        EXPECT_TRUE(PageElements(page).empty()) << page;
}

// Initial states the page scripts and handlers start from, and input limits.
struct AttributeCase {
    int page;
    std::string_view id;
    std::string_view attribute;
    // nullopt-like: "*" means "present with any value", "-" means "absent".
    std::string_view value;
};

TEST(PageAttributes, StartStatesAndLimits)
{
    static const AttributeCase kCases[] = {
        // Page 240 starts with the typed key, 289 with the pass phrase (page script toggles).
        {240, "Radio2", "checked", "*"},
        {240, "Radio1", "checked", "-"},
        {240, "TextWepPassPhrase", "disabled", "*"},
        {240, "TextWepKey", "disabled", "-"},
        {289, "Radio1", "checked", "*"},
        {289, "Radio2", "checked", "-"},
        {289, "TextWepKey", "disabled", "*"},
        {289, "TextWepPassPhrase", "disabled", "-"},
        {248, "Radio2", "checked", "*"},
        {248, "TextWepPassPhrase", "disabled", "*"},
        {262, "Radio1", "checked", "*"},
        {256, "Radio1", "checked", "*"},
        {260, "Radio1", "checked", "*"},
        // Pass phrases of the WEP entries hold at most 50 characters, addresses 17.
        {240, "TextWepPassPhrase", "maxlength", "50"},
        {289, "TextWepPassPhrase", "maxlength", "50"},
        {248, "TextWepPassPhrase", "maxlength", "50"},
        {263, "TextFilterAddress1", "maxlength", "17"},
        {263, "TextFilterAddress16", "maxlength", "17"},
        // The key label is read-only text starting at the first key.
        {240, "KeyText", "value", "Taste 1:"},
        {240, "KeyText", "readonly", "*"},
        {289, "KeyText", "value", "Taste 1:"},
        {248, "KeyText", "value", "Taste 1:"},
        {262, "KeyText", "value", "Taste 1:"},
        // Passwords are not shown.
        {241, "TextMd5Password", "type", "password"},
        {242, "TextPeapPassword", "type", "password"},
        {244, "TextTtlsPassword", "type", "password"},
        {249, "TextPopMd5Password", "type", "password"},
        {250, "TextPopPeapPassword", "type", "password"},
        {252, "TextPopTtlsPassword", "type", "password"},
        // Bars start dark; their value is the system's image string.
        {236, "ImageSignStr01", "src", "./images/#143"},
        {236, "ImageLinkQual10", "src", "./images/#143"},
        // The WEP group has one spelling on every page that binds it.
        {240, "Radio1", "name", "RadioGroupWep"},
        {289, "Radio2", "name", "RadioGroupWep"},
        {248, "Radio1", "name", "RadioGroupWep"},
    };
    for (const AttributeCase& c : kCases) {
        const auto tags = TagsById(ReadPage(c.page));
        const auto tag = tags.find(std::string(c.id));
        ASSERT_NE(tag, tags.end()) << c.page << " " << c.id;
        const std::string* value = tag->second.Attribute(c.attribute);
        if (c.value == "-")
            EXPECT_EQ(value, nullptr) << c.page << " " << c.id << " " << c.attribute;
        else if (c.value == "*")
            EXPECT_NE(value, nullptr) << c.page << " " << c.id << " " << c.attribute;
        else
            EXPECT_TRUE(value != nullptr && *value == c.value)
                << c.page << " " << c.id << " " << c.attribute;
    }
}

// The key selects' option values make the page script's "Taste <value>:" labels.
TEST(PageAttributes, KeySelectOptionValuesAreOneToFour)
{
    for (int page : {240, 289, 248, 262}) {
        const std::string html = ReadPage(page);
        HtmlScanner scanner(html);
        HtmlToken token;
        bool inKeys = false;
        std::vector<std::string> values;
        while (scanner.Next(token)) {
            if (token.type == HtmlToken::Type::StartTag && token.name == "select") {
                const std::string* id = token.Attribute("id");
                inKeys = id != nullptr && (*id == "SelectWepKey" || *id == "SelectAPKey");
            } else if (inKeys && token.type == HtmlToken::Type::StartTag &&
                       token.name == "option") {
                const std::string* value = token.Attribute("value");
                values.push_back(value != nullptr ? *value : "");
            } else if (token.type == HtmlToken::Type::EndTag && token.name == "select") {
                inKeys = false;
            }
        }
        EXPECT_EQ(values, (std::vector<std::string>{"1", "2", "3", "4"})) << page;
    }
}

// The native list controls are laid over the page at fixed window coordinates; the
// page leaves a frame of exactly that rectangle.
struct ListFrameCase {
    int page;
    std::string_view list;
    int x, y, width, height;
};

int StylePixels(const std::string& style, std::string_view property)
{
    const std::string key = std::string(property) + ":";
    std::size_t at = style.find(key);
    if (at == std::string::npos)
        return -1;
    at += key.size();
    while (at < style.size() && style[at] == ' ')
        ++at;
    int value = -1;
    const auto [end, ec] = std::from_chars(style.data() + at, style.data() + style.size(), value);
    if (ec != std::errc{} || std::string_view(end, 2) != "px")
        return -1;
    return value;
}

TEST(PageListFrames, LeaveTheListRectanglesFree)
{
    static const ListFrameCase kCases[] = {
        {237, "SurveyList", 201, 146, 299, 170},  {238, "SurveyList", 201, 146, 299, 170},
        {256, "StationList", 530, 154, 182, 149}, {260, "StationList", 530, 154, 182, 149},
        {261, "StationList", 530, 154, 182, 149},
    };
    for (const ListFrameCase& c : kCases) {
        const std::string html = ReadPage(c.page);
        HtmlScanner scanner(html);
        HtmlToken token;
        int found = 0;
        while (scanner.Next(token)) {
            if (token.type != HtmlToken::Type::StartTag)
                continue;
            const std::string* list = token.Attribute("data-list");
            if (list == nullptr || *list != c.list)
                continue;
            ++found;
            const std::string* style = token.Attribute("style");
            ASSERT_NE(style, nullptr) << c.page;
            EXPECT_EQ(StylePixels(*style, "left"), c.x) << c.page;
            EXPECT_EQ(StylePixels(*style, "top"), c.y) << c.page;
            EXPECT_EQ(StylePixels(*style, "width"), c.width) << c.page;
            EXPECT_EQ(StylePixels(*style, "height"), c.height) << c.page;
        }
        EXPECT_EQ(found, 1) << c.page << " " << c.list;
    }
}

} // namespace
} // namespace kesto
