// WEP key entry shared by the wizard's WEP step, the security pop-up and the AP
// settings: key entry by pass phrase (Radio1) or typed key (Radio2); 256-bit keys
// cannot be generated from a pass phrase, so that size allows typed keys only.
// The including <script> names the page's own elements in data-size, data-phrase,
// data-key and data-keys.
(function () {
  var ids = document.currentScript.dataset;
  function el(id) { return document.getElementById(id); }

  window.SetDisabled = function () {
    var size = el(ids.size);
    var only256 = size.options[size.selectedIndex].text === '256 Bits';
    var byPhrase = el('Radio1');
    var byKey = el('Radio2');
    byPhrase.disabled = only256;
    byKey.disabled = only256;
    byKey.checked = true;
    el(ids.phrase).disabled = true;
    el(ids.key).disabled = false;
  };
  window.Radio1Click = function () {
    el(ids.phrase).disabled = false;
    el(ids.key).disabled = true;
  };
  window.Radio2Click = function () {
    el(ids.phrase).disabled = true;
    el(ids.key).disabled = false;
  };
  window.SetKeyText = function () {
    var keys = el(ids.keys);
    el('KeyText').value = 'Taste ' + keys.options[keys.selectedIndex].value + ':';
  };
})();
