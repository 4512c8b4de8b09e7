// WepKeyEntry: the behaviour of a page's WEP key entry, shared by every page that takes
// the keys of a station profile (the wizard's WEP steps, the security pop-up): the key
// size select, the pass phrase, the key select and the masked key field. It works on
// the page's mirror and on the record being edited; the page elements are
//   SelectWepWep (0 64, 1 128, 2 256 bits), RadioGroupWep (0 pass phrase, 1 typed key),
//   TextWepPassPhrase, SelectWepKey (0..3 = key 1..4), TextWepKey.
//
// Typing changes the record at once, before any check (the save or next button checks
// the key in use). A key-up that changes nothing writes nothing: keys that do not move
// the text (Tab, Shift, arrows) neither store the mask as a key nor copy old generated
// keys over keys the user typed.
#pragma once

#include "pages/PageMirror.h"
#include "profiles/ProfileRecord.h"
#include "security/PassphraseKeys.h"

#include <string>

namespace kesto {

class WepKeyEntry {
public:
    // keys: the one generator the application shares between all pages, so the last
    // generation is the same everywhere.
    explicit WepKeyEntry(PassphraseKeys& keys);

    // What TextWepKey shows when a page is filled from record with key keyIndex (0..3)
    // selected: the mask when that key is not empty, else "".
    static std::string FilledKeyText(const ProfileRecord& record, int keyIndex);

    // TextWepKey key-up: the field's text, as typed (spaces included: the key check
    // sees what the user typed), goes into the key slot that SelectWepKey shows (the
    // last slot shown when the select reads no selection). Nothing is written when the
    // field still holds exactly the mask or the slot already holds the text. Nothing is
    // written to the page either, so keys typed meanwhile are never overwritten.
    // Returns whether the record changed.
    bool KeyUp(ProfileRecord& record, const PageMirror& page);

    // TextWepKey blur and SelectWepKey change: the field shows the mask.
    void MaskKey(PageMirror& page);

    // TextWepPassPhrase key-up. SelectWepWep 64 or 128 bits sets record.KeyLength (256
    // bits, or no selection, leaves it). The phrase is trimmed of white space on a copy
    // (the field keeps what was typed, so a phrase can hold inner spaces) and the four
    // generated keys go into the record's key slots; the key field shows the mask.
    // Nothing happens for an empty field, for a key size that generates nothing
    // (256 bits), or when phrase and size are those of this entry's last generation.
    // Returns whether the record changed.
    bool PassPhraseKeyUp(ProfileRecord& record, PageMirror& page);

    // The enabled state the page script gives the entry, told to the page host so a
    // page filled by the core, or shown again by a new window process, shows it too.
    // SizeChanged (SelectWepWep change) states it whatever the size: pass phrase field
    // off, key field on, the typed-key choice checked, both choices off for 256 bits.
    // PageFilled (after the page was shown from a record) states it only for 256 bits,
    // so a page that starts on the pass-phrase choice keeps it; it also starts the entry
    // afresh (key slot 1, no last generation) for the record just shown. ChoiceClicked (Radio1,
    // Radio2 click) enables the field of the choice and disables the other.
    void SizeChanged(PageMirror& page);
    void PageFilled(PageMirror& page);
    void ChoiceClicked(PageMirror& page);

    // A select's index as read, or previous when the page reports no selection (-1, or
    // anything outside 0..optionCount-1).
    static int SelectedOr(int index, int optionCount, int previous);

private:
    int KeySlot(const PageMirror& page);

    PassphraseKeys& m_keys;
    int m_keySlot = 0;
    // The phrase (trimmed) and key size of this entry's last generation.
    std::string m_lastPhrase;
    int m_lastKeySize = 0;
};

} // namespace kesto
