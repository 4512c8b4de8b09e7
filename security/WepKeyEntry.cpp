// WEP key entry of the profile pages (see WepKeyEntry.h).
#include "security/WepKeyEntry.h"

#include "base/Text.h"
#include "security/WepKeyRules.h"

namespace kesto {

namespace {

constexpr std::string_view kSizeSelect = "SelectWepWep";
constexpr std::string_view kChoice = "RadioGroupWep";
constexpr std::string_view kPhraseField = "TextWepPassPhrase";
constexpr std::string_view kKeySelect = "SelectWepKey";
constexpr std::string_view kKeyField = "TextWepKey";

constexpr int kSize256Index = 2;
constexpr int kChoiceTypedKey = 1;

} // namespace

WepKeyEntry::WepKeyEntry(PassphraseKeys& keys) : m_keys(keys) {}

std::string WepKeyEntry::FilledKeyText(const ProfileRecord& record, int keyIndex)
{
    if (keyIndex < 0 || keyIndex >= kWepKeyCount || record.WepKey(keyIndex).empty())
        return {};
    return std::string(kWepKeyMask);
}

int WepKeyEntry::SelectedOr(int index, int optionCount, int previous)
{
    return index >= 0 && index < optionCount ? index : previous;
}

int WepKeyEntry::KeySlot(const PageMirror& page)
{
    m_keySlot = SelectedOr(page.Number(kKeySelect), kWepKeyCount, m_keySlot);
    return m_keySlot;
}

bool WepKeyEntry::KeyUp(ProfileRecord& record, const PageMirror& page)
{
    const std::string text = page.Text(kKeyField);
    // The field still shows the mask: the key went up without typing (Tab, Shift).
    if (text == kWepKeyMask)
        return false;
    std::string& slot = record.WepKey(KeySlot(page));
    if (slot == text)
        return false;
    slot = text;
    return true;
}

void WepKeyEntry::MaskKey(PageMirror& page)
{
    KeySlot(page);
    page.SetText(kKeyField, kWepKeyMask);
}

bool WepKeyEntry::PassPhraseKeyUp(ProfileRecord& record, PageMirror& page)
{
    const std::string phrase = page.Text(kPhraseField);
    if (phrase.empty())
        return false;
    const int size = page.Number(kSizeSelect);
    if (size == 0 || size == 1)
        record.KeyLength = size + 1;
    // 256-bit keys (and sizes the record should not hold) are never generated; the
    // keys of an earlier generation must not stand in for them.
    if (record.KeyLength != 1 && record.KeyLength != 2)
        return false;
    const std::string trimmed(TrimWhiteSpace(phrase));
    if (trimmed == m_lastPhrase && record.KeyLength == m_lastKeySize)
        return false;
    m_keys.ApplyToProfile(record, size, phrase);
    m_lastPhrase = trimmed;
    m_lastKeySize = record.KeyLength;
    page.SetText(kKeyField, kWepKeyMask);
    return true;
}

void WepKeyEntry::SizeChanged(PageMirror& page)
{
    const bool only256 = page.Number(kSizeSelect) == kSize256Index;
    page.SetNumber(kChoice, kChoiceTypedKey);
    page.SetDisabled(kChoice, only256);
    page.SetDisabled(kPhraseField, true);
    page.SetDisabled(kKeyField, false);
}

void WepKeyEntry::PageFilled(PageMirror& page)
{
    m_keySlot = 0;
    m_lastPhrase.clear();
    m_lastKeySize = 0;
    if (page.Number(kSizeSelect) == kSize256Index)
        SizeChanged(page);
}

void WepKeyEntry::ChoiceClicked(PageMirror& page)
{
    const bool byPhrase = page.Number(kChoice) != kChoiceTypedKey;
    page.SetDisabled(kPhraseField, !byPhrase);
    page.SetDisabled(kKeyField, byPhrase);
}

} // namespace kesto
