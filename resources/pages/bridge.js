// The page side of the page host: reports what the user does to the page's elements
// and applies the values the core sets. Loaded by every page as its last script.
// Inside the window process it talks to the channel object "bridge"; opened in a plain
// browser it works standalone (images mapped, values readable and settable from the
// console), so every page can be viewed and screenshotted on its own.
(function () {
  'use strict';

  // Image values are the system's own strings ("./images/#155"); the file that shows
  // such an image is images/155.svg beside the pages folder.
  var IMAGE_PREFIX = './images/#';
  var CHANNEL_SCRIPT = 'qrc:///qtwebchannel/qwebchannel.js';
  var CONTROL_SELECTOR = 'input[id],select[id],textarea[id],img[id],button[id]';

  var pageId = parseInt(document.body.getAttribute('data-page'), 10) || 0;
  var channel = null; // the channel object once connected
  var queued = []; // events raised before the channel was up
  // The mark of the last values the window set here; each event carries it, so the
  // window knows which of its values the reported ones already include.
  var applied = 0;

  function imageFile(value) {
    if (value.indexOf(IMAGE_PREFIX) === 0) {
      return '../images/' + value.substring(IMAGE_PREFIX.length) + '.svg';
    }
    return value;
  }

  function showImage(img, value) {
    img.setAttribute('data-value', value);
    img.setAttribute('src', imageFile(value));
  }

  // Radio buttons are addressed by their group name; the groups in document order.
  function radioGroups() {
    var groups = {};
    var radios = document.querySelectorAll('input[type=radio]');
    for (var i = 0; i < radios.length; i++) {
      var name = radios[i].name;
      (groups[name] = groups[name] || []).push(radios[i]);
    }
    return groups;
  }

  // {id: value} of every element that carries a value: text fields their text,
  // images their system string, check boxes 0/1, selects and radio groups the index
  // of the selection (-1 when nothing is selected).
  function values() {
    var result = {};
    var elements = document.querySelectorAll('input[id],select[id],textarea[id],img[id]');
    for (var i = 0; i < elements.length; i++) {
      var el = elements[i];
      var tag = el.tagName;
      if (tag === 'IMG') {
        result[el.id] = el.getAttribute('data-value') || el.getAttribute('src') || '';
      } else if (tag === 'SELECT') {
        result[el.id] = el.selectedIndex;
      } else if (tag === 'TEXTAREA') {
        result[el.id] = el.value;
      } else if (el.type === 'checkbox') {
        result[el.id] = el.checked ? 1 : 0;
      } else if (el.type === 'radio' || el.type === 'button' || el.type === 'submit') {
        // members and buttons carry no value of their own
      } else {
        result[el.id] = el.value;
      }
    }
    var groups = radioGroups();
    for (var name in groups) {
      var index = -1;
      for (var j = 0; j < groups[name].length; j++) {
        if (groups[name][j].checked) index = j;
      }
      result[name] = index;
    }
    return result;
  }

  // Applies one value; false when the page has no element of that id.
  function setValue(id, value) {
    var el = document.getElementById(id);
    if (el && !(el.tagName === 'INPUT' && el.type === 'radio')) {
      var tag = el.tagName;
      if (tag === 'IMG') {
        showImage(el, String(value));
      } else if (tag === 'SELECT') {
        el.selectedIndex = Number(value);
      } else if (tag === 'INPUT' && el.type === 'checkbox') {
        el.checked = Number(value) !== 0;
      } else if (tag === 'INPUT' || tag === 'TEXTAREA') {
        el.value = value === null || value === undefined ? '' : String(value);
      } else {
        return false;
      }
      return true;
    }
    var members = radioGroups()[id];
    if (!members) return false;
    var index = Number(value);
    for (var i = 0; i < members.length; i++) members[i].checked = i === index;
    return true;
  }

  function setValues(map) {
    for (var id in map) setValue(id, map[id]);
    if (typeof window.onBridgeValuesApplied === 'function') window.onBridgeValuesApplied();
  }

  function setDisabled(id, disabled) {
    var el = document.getElementById(id);
    if (el) {
      el.disabled = !!disabled;
    } else {
      var members = radioGroups()[id] || [];
      for (var i = 0; i < members.length; i++) members[i].disabled = !!disabled;
    }
  }

  function report(event, id) {
    var current = values();
    if (channel) {
      channel.elementEvent(pageId, id, event, current, applied);
    } else if (queued) {
      queued.push([event, id, current, applied]);
    }
  }

  function elementOf(target) {
    if (!target || !target.closest) return null;
    var el = target.closest(CONTROL_SELECTOR);
    if (el) return el.id;
    // An unnamed radio button is reported under its group's name.
    if (target.tagName === 'INPUT' && target.type === 'radio') return target.name;
    return null;
  }

  function listen(domEvent, event) {
    document.addEventListener(domEvent, function (e) {
      var id = elementOf(e.target);
      if (id) report(event, id);
    });
  }

  // A caption marked data-for="ImageAPRadio" clicks its image, so the words beside
  // an image button are part of it.
  document.addEventListener('click', function (e) {
    var caption = e.target && e.target.closest ? e.target.closest('[data-for]') : null;
    if (!caption || e.target.closest(CONTROL_SELECTOR)) return;
    var target = document.getElementById(caption.getAttribute('data-for'));
    if (target) target.click();
  });

  // Enter does nothing in the utility's windows (it would otherwise press the focused
  // button); Escape is left to the window, which hides.
  document.addEventListener('keydown', function (e) {
    if (e.key === 'Enter') e.preventDefault();
  }, true);

  listen('click', 'click');
  listen('keyup', 'keyup');
  listen('change', 'change');
  listen('focusin', 'focus');
  listen('focusout', 'blur');

  var images = document.querySelectorAll('img');
  for (var i = 0; i < images.length; i++) {
    showImage(images[i], images[i].getAttribute('src') || '');
  }

  window.kestoBridge = {
    pageId: pageId,
    values: values,
    setValue: setValue,
    setValues: setValues,
    setDisabled: setDisabled
  };

  function connect() {
    // eslint-disable-next-line no-undef
    new QWebChannel(qt.webChannelTransport, function (webChannel) {
      var remote = webChannel.objects.bridge;
      if (!remote) return;
      if (remote.setValue && remote.setValue.connect) {
        remote.setValue.connect(function (id, value, mark) {
          setValue(id, value);
          applied = mark;
        });
      }
      if (remote.setValues && remote.setValues.connect) {
        remote.setValues.connect(function (map, mark) {
          setValues(map);
          applied = mark;
        });
      }
      if (remote.setDisabled && remote.setDisabled.connect) {
        remote.setDisabled.connect(setDisabled);
      }
      channel = remote;
      channel.pageReady(pageId, values());
      var pending = queued;
      queued = null;
      for (var k = 0; k < pending.length; k++) {
        channel.elementEvent(pageId, pending[k][1], pending[k][0], pending[k][2], pending[k][3]);
      }
    });
  }

  if (typeof qt !== 'undefined' && qt.webChannelTransport) {
    if (typeof QWebChannel === 'function') {
      connect();
    } else {
      var script = document.createElement('script');
      script.src = CHANNEL_SCRIPT;
      script.onload = connect;
      document.head.appendChild(script);
    }
  } else {
    // Standalone: nobody listens; keep no queue.
    queued = null;
  }
})();
