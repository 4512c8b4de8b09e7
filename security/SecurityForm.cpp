// The security form of the wizard and the pop-up (see SecurityForm.h).
#include "security/SecurityForm.h"

#include "pages/BoundChoice.h"
#include "platform/WlanLibrary.h"
#include "profiles/SecretScrambler.h"

#include <algorithm>
#include <array>
#include <optional>

namespace kesto {

namespace {

// An EAP page: the name its ids carry ("TextTtlsLoginName", "ButtonNextEapTtls") and
// what it asks besides the login name.
struct EapPageFields {
    std::string_view name = {};
    int SecurityPageSet::*page = nullptr;
    bool password = false;             // TLS proves itself by certificate
    bool certificate = false;          // the client certificate's name, shown only
    bool check = false;                // validate the server certificate, by its name
    std::string_view innerChoice = {}; // the inner method select
};

constexpr EapPageFields kMd5Page{
    .name = "Md5", .page = &SecurityPageSet::md5Page, .password = true};
constexpr EapPageFields kPeapPage{.name = "Peap",
                                  .page = &SecurityPageSet::peapPage,
                                  .password = true,
                                  .check = true,
                                  .innerChoice = "PeapInnerEap"};
constexpr EapPageFields kTlsPage{
    .name = "Tls", .page = &SecurityPageSet::tlsPage, .certificate = true, .check = true};
constexpr EapPageFields kTtlsPage{.name = "Ttls",
                                  .page = &SecurityPageSet::ttlsPage,
                                  .password = true,
                                  .check = true,
                                  .innerChoice = "TtlsProtocal"};
constexpr std::array kEapPages{&kMd5Page, &kPeapPage, &kTlsPage, &kTtlsPage};

// Any value outside the enumeration counts as EAP-TLS.
const EapPageFields& PageOf(int choice)
{
    switch (static_cast<EapMethod>(choice)) {
    case EapMethod::Tls:
        return kTlsPage;
    case EapMethod::Ttls:
        return kTtlsPage;
    case EapMethod::Md5:
    case EapMethod::Leap: // LEAP asks what EAP-MD5 asks
        return kMd5Page;
    case EapMethod::Peap:
        return kPeapPage;
    }
    return kTlsPage;
}

std::string Join(std::string_view a, std::string_view b)
{
    return std::string(a).append(b);
}

} // namespace

std::string_view PassphraseRefusal(std::string_view passphrase)
{
    if (passphrase.size() < kMinPassphraseLength || passphrase.size() > kMaxPassphraseLength)
        return kPassphraseLengthMessage;
    // The rest of the WPA call's rule: printable ASCII, the space included.
    if (!PassphraseUsable(passphrase))
        return kPassphraseCharactersMessage;
    return {};
}

int KeyIndexInUse(const ProfileRecord& record)
{
    return record.KeyInUse >= 1 && record.KeyInUse <= kWepKeyCount ? record.KeyInUse - 1 : 0;
}

Refused StoreWepSelection(ProfileRecord& record, const WepSelection& selection,
                          WepMessageLanguage language)
{
    record.DataEncryption = selection.authentication;
    record.KeyInUse = selection.keyIndex + 1;
    if (selection.keyMode >= 0)
        record.KeyMode = selection.keyMode;
    record.KeyLength = selection.keySize;
    // The key in use as typed into its slot (a masked field left alone keeps it).
    return CheckWepKey(record.KeyLength, selection.keyIndex, record.WepKey(selection.keyIndex),
                       language);
}

Refused StorePskSelection(ProfileRecord& record, int cipher, std::string_view passPhrase)
{
    // Refused later by the adapter's WPA call, the pass phrase would fail every join in
    // silence.
    if (const std::string_view refusal = PassphraseRefusal(passPhrase); !refusal.empty())
        return Refusal{"InvalidPassphrase", std::string(refusal)};
    record.EncryptionType = cipher;
    record.Passphrase = ScrambleSecret(passPhrase);
    return std::nullopt;
}

Refused StoreTypedWep(ProfileRecord& record, const TypedWep& typed, PassphraseKeys& keys,
                      const SecurityPageSet& pages)
{
    const bool byPhrase = !typed.passPhrase.empty();
    int size = typed.keySize != 0 ? typed.keySize : byPhrase ? 0 : WepKeySizeOf(typed.key);
    if (size == 0)
        size = 1; // the WEP pages start on "64 Bits"
    if (typed.keyIndex < 0 || typed.keyIndex >= kWepKeyCount)
        return CheckWepKey(size, typed.keyIndex, typed.key, pages.language);
    if (!byPhrase)
        record.WepKey(typed.keyIndex) = typed.key;
    else if (size == 1 || size == 2)
        keys.ApplyToProfile(record, size - 1, typed.passPhrase);
    WepSelection selection{typed.authentication, typed.keyIndex, size, -1};
    if (!pages.keyMode.empty())
        selection.keyMode = byPhrase ? 0 : 1;
    return StoreWepSelection(record, selection, pages.language);
}

SecurityForm::SecurityForm(const SecurityPageSet& pages, PageSurface& surface,
                           ProfileRecord& record, Dialogs& dialogs, PassphraseKeys& keys,
                           std::string caption)
    : m_pages(pages), m_surface(surface), m_record(record), m_dialogs(dialogs),
      m_caption(std::move(caption)), m_keyEntry(keys)
{
}

std::string SecurityForm::Id(const SecurityPageSet& pages, std::string_view kind,
                             std::string_view name)
{
    return Join(Join(kind, pages.prefix), name);
}

std::string SecurityForm::Id(std::string_view kind, std::string_view name) const
{
    return Id(m_pages, kind, name);
}

std::vector<BoundElement> SecurityForm::Fields(const SecurityPageSet& pages)
{
    std::vector<BoundElement> fields{{"SelectWepWep", ElementKind::Select},
                                     {"SelectWepAuthen", ElementKind::Select},
                                     {"SelectWepKey", ElementKind::Select},
                                     {"TextWepKey", ElementKind::Text},
                                     {Id(pages, "Select", "Radius"), ElementKind::Select}};
    for (const EapPageFields* eap : kEapPages) {
        fields.push_back({Id(pages, "Text", Join(eap->name, "LoginName")), ElementKind::Text});
        if (eap->password)
            fields.push_back({Id(pages, "Text", Join(eap->name, "Password")), ElementKind::Text});
        if (eap->check) {
            fields.push_back({Id(pages, "Checkbox", eap->name), ElementKind::Check});
            fields.push_back({Id(pages, "Text", Join(eap->name, "ServerName")), ElementKind::Text});
        }
        if (!eap->innerChoice.empty())
            fields.push_back({Id(pages, "Select", eap->innerChoice), ElementKind::Select});
    }
    fields.push_back({std::string(pages.pskCipher), ElementKind::Select});
    fields.push_back({Id(pages, "Text", "PskPassPhrase"), ElementKind::Text});
    fields.push_back({std::string(pages.radiusCipher), ElementKind::Select});
    return fields;
}

void SecurityForm::BindHandlers(PageMap& pages)
{
    // Typing changes the record at once; the store button checks the key in use.
    const auto add = [&pages](int pageId, std::string_view id, ElementEvent event,
                              ElementHandler handler) {
        pages.AddHandler(pageId, id, event, std::move(handler));
    };
    for (int pageId : m_pages.wepPages) {
        add(pageId, "TextWepPassPhrase", ElementEvent::KeyUp,
            [this] { m_keyEntry.PassPhraseKeyUp(m_record, m_surface.page()); });
        add(pageId, "TextWepKey", ElementEvent::KeyUp,
            [this] { m_keyEntry.KeyUp(m_record, m_surface.page()); });
        add(pageId, "TextWepKey", ElementEvent::Blur,
            [this] { m_keyEntry.MaskKey(m_surface.page()); });
        add(pageId, "SelectWepKey", ElementEvent::Change,
            [this] { m_keyEntry.MaskKey(m_surface.page()); });
        add(pageId, "SelectWepWep", ElementEvent::Change,
            [this] { m_keyEntry.SizeChanged(m_surface.page()); });
        for (const char* choice : {"Radio1", "Radio2"})
            add(pageId, choice, ElementEvent::Click,
                [this] { m_keyEntry.ChoiceClicked(m_surface.page()); });
        add(pageId, Id("Button", Join(m_pages.store, "Wep")), ElementEvent::Click,
            [this] { StoreWep(); });
    }
    for (const EapPageFields* eap : kEapPages) {
        const int pageId = m_pages.*(eap->page);
        const std::string page = Join("Eap", eap->name);
        add(pageId, Id("Select", "Radius"), ElementEvent::Change, [this] { OnMethodChange(); });
        add(pageId, Id("Button", Join(m_pages.store, page)), ElementEvent::Click,
            [this] { StoreEap(); });
        add(pageId, Id("Button", Join("Back", page)), ElementEvent::Click,
            [this] { m_steps.eapBack(); });
    }
    add(m_pages.wpaPskPage, Id("Button", Join(m_pages.store, "WpaPsk")), ElementEvent::Click,
        [this] { StorePsk(); });
}

int SecurityForm::EapPage(int choice) const
{
    return m_pages.*(PageOf(choice).page);
}

int SecurityForm::StoredEapChoice() const
{
    const int choice = m_record.RadiusType - 1;
    return choice >= 0 && choice < kEapMethodCount ? choice : 0;
}

void SecurityForm::FillEap(int choice)
{
    const ProfileRecord& record = m_record;
    ElementBinding& fields = m_surface.binding();
    const EapPageFields& eap = PageOf(choice);
    // Pushed with the page: page 241 pre-selects EAP-MD5 and would otherwise turn a
    // LEAP record into an EAP-MD5 one when stored.
    fields.SetNumber(Id("Select", "Radius"), choice);
    fields.SetText(Id("Text", Join(eap.name, "LoginName")), record.LoginName);
    if (eap.password)
        fields.SetText(Id("Text", Join(eap.name, "Password")), UnscrambleSecret(record.Password));
    if (eap.certificate)
        fields.SetText(Id("Text", Join(eap.name, "Certi")), record.Certificate);
    if (eap.check) {
        fields.SetNumber(Id("Checkbox", eap.name), record.ValidatesServer() ? 1 : 0);
        fields.SetText(Id("Text", Join(eap.name, "ServerName")), record.ServerName);
    }
    if (!eap.innerChoice.empty())
        fields.SetNumber(Id("Select", eap.innerChoice), record.TTLSOrPeapSelection);
}

void SecurityForm::ShowEapPage(int choice)
{
    m_surface.binding().SetNumber(Id("Select", "Radius"), choice);
    m_surface.ShowPage(EapPage(choice));
}

void SecurityForm::WepPageFilled()
{
    m_keyEntry.PageFilled(m_surface.page());
}

int SecurityForm::ReadEapChoice()
{
    return BoundChoice(m_surface.binding(), m_surface.page(), Id("Select", "Radius"),
                       StoredEapChoice());
}

void SecurityForm::OnMethodChange()
{
    m_surface.UpdateData(true);
    ShowEapPage(ReadEapChoice());
}

void SecurityForm::StoreWep()
{
    {
        std::optional<WaitCursor> wait;
        if (m_pages.waitCursorOnWepStore)
            wait.emplace(m_dialogs);
        m_surface.UpdateData(true);
    }
    ElementBinding& fields = m_surface.binding();
    const PageMirror& page = m_surface.page();
    ProfileRecord& record = m_record;
    WepSelection selection;
    selection.authentication = BoundChoice(fields, page, "SelectWepAuthen", record.DataEncryption);
    selection.keyIndex = BoundChoice(fields, page, "SelectWepKey", KeyIndexInUse(record));
    if (!m_pages.keyMode.empty())
        selection.keyMode = BoundChoice(fields, page, m_pages.keyMode, record.KeyMode == 0 ? 0 : 1);
    selection.keySize =
        BoundChoice(fields, page, "SelectWepWep", std::max(record.KeyLength - 1, 0)) + 1;
    if (ShowRefusal(m_dialogs, StoreWepSelection(record, selection, m_pages.language), m_caption))
        return;
    m_steps.stored(SecurityPage::Wep);
}

void SecurityForm::StoreEap()
{
    m_surface.UpdateData(true);
    ElementBinding& fields = m_surface.binding();
    ProfileRecord& record = m_record;
    const int choice = ReadEapChoice();
    const EapPageFields& eap = PageOf(choice);
    // A certificate from any public authority proves only that its holder owns some
    // name: the check needs the name the server must carry.
    const std::string serverName(TrimWhiteSpace(
        eap.check ? fields.Text(Id("Text", Join(eap.name, "ServerName"))) : std::string_view()));
    const bool validate = eap.check && fields.Number(Id("Checkbox", eap.name)) != 0;
    if (validate && !ServerNameUsable(serverName)) {
        m_dialogs.MessageBox(
            serverName.empty() ? kServerNameMissingMessage : kServerNameInvalidMessage, m_caption);
        return;
    }
    // The page shows the certificate and takes none: the record's is checked, as the
    // apply checks it, so the page stays open rather than store a join that cannot work.
    if (eap.certificate) {
        if (const std::string_view refusal = CertificateRefusal(record.Certificate, m_probe);
            !refusal.empty()) {
            m_dialogs.MessageBox(refusal, m_caption);
            return;
        }
    }
    record.RadiusType = choice + 1;
    record.LoginName = fields.Text(Id("Text", Join(eap.name, "LoginName")));
    // A TLS record keeps no password, rather than one last typed on another method's page.
    record.Password =
        eap.password ? ScrambleSecret(fields.Text(Id("Text", Join(eap.name, "Password")))) : "";
    if (eap.check) {
        record.ValServerCertificate = validate ? 1 : 0;
        record.ServerName = serverName;
    }
    if (!eap.innerChoice.empty())
        record.TTLSOrPeapSelection = BoundChoice(
            fields, m_surface.page(), Id("Select", eap.innerChoice), record.TTLSOrPeapSelection);
    m_steps.stored(SecurityPage::Eap);
}

void SecurityForm::StorePsk()
{
    m_surface.UpdateData(true);
    ElementBinding& fields = m_surface.binding();
    const int cipher =
        BoundChoice(fields, m_surface.page(), m_pages.pskCipher, m_record.EncryptionType);
    if (ShowRefusal(m_dialogs,
                    StorePskSelection(m_record, cipher, fields.Text(Id("Text", "PskPassPhrase"))),
                    m_caption))
        return;
    m_steps.stored(SecurityPage::WpaPsk);
}

} // namespace kesto
