// The page around the program: starts it on the bundled sample, scales the canvas to the browser
// window, copies a data set folder chosen on the user's disk into the page's memory (nothing
// leaves the machine) and asks the program to read it with F5, and shows the current log.
'use strict';

var VK_F5 = 0x74;
var canvas = document.getElementById('canvas');
var statusLine = document.getElementById('status');
var logView = document.getElementById('log');
var uploads = 0;          // data sets copied in so far: each goes to a folder of its own
var currentUpload = null;  // the folder of the last one, removed when the next one comes
var ended = false;         // the program has returned from WinMain (Escape)

var Module = {
  canvas: canvas,
  // The program reads the data set of the folder it is given, as on the command line.
  arguments: ['/sample'],
  // ?uncapped: frames as fast as the browser lets a page run, not one per display refresh.
  kvrUncapped: new URLSearchParams(location.search).has('uncapped'),
  print: function (text) { console.log(text); },
  printErr: function (text) { console.warn(text); },
  setStatus: function (text) { if (text) statusLine.textContent = text; },
  onRuntimeInitialized: function () { statusLine.textContent = 'Showing the sample data set'; },
  onExit: function (code) {
    ended = true;
    statusLine.textContent = 'kvrview has ended (exit code ' + code + '): reload the page to start it again';
  },
};

// The program's end unwinds its stack with an ExitStatus thrown from the frame it ended in (an
// animation-frame callback): that is how it stops, not an error.
window.addEventListener('unhandledrejection', function (e) {
  if (e.reason && e.reason.name === 'ExitStatus') e.preventDefault();
});

// The canvas keeps its 1024 x 768 pixels; the page shows them as large as the window allows.
function fitCanvas() {
  var stage = document.getElementById('stage');
  var scale = Math.min(stage.clientWidth / canvas.width, stage.clientHeight / canvas.height);
  canvas.style.width = Math.floor(canvas.width * scale) + 'px';
  canvas.style.height = Math.floor(canvas.height * scale) + 'px';
}
window.addEventListener('resize', fitCanvas);
new ResizeObserver(fitCanvas).observe(canvas, {box: 'content-box'});
fitCanvas();
canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });

// A path of the chosen folder's file, without the folder's own name, as components; null for a
// name no file of a data set can have.
function relativeParts(file) {
  var parts = (file.webkitRelativePath || file.name).split('/');
  if (parts.length > 1) parts = parts.slice(1);
  for (var i = 0; i < parts.length; ++i)
    if (parts[i] === '' || parts[i] === '.' || parts[i] === '..') return null;
  return parts;
}

function removeTree(path) {
  var stat = FS.stat(path);
  if (!FS.isDir(stat.mode)) { FS.unlink(path); return; }
  FS.readdir(path).forEach(function (name) {
    if (name !== '.' && name !== '..') removeTree(path + '/' + name);
  });
  FS.rmdir(path);
}

async function openFolder(files) {
  if (!files.length || typeof FS === 'undefined') return;
  if (ended) {
    statusLine.textContent = 'kvrview has ended: reload the page, then open the folder';
    return;
  }
  var folder = '/datasets/' + (++uploads);
  statusLine.textContent = 'Copying ' + files.length + ' files…';
  FS.mkdirTree(folder);
  var copied = 0, skipped = 0;
  for (var i = 0; i < files.length; ++i) {
    var parts = relativeParts(files[i]);
    if (!parts) { ++skipped; continue; }
    if (parts.length > 1) FS.mkdirTree(folder + '/' + parts.slice(0, -1).join('/'));
    try {
      FS.writeFile(folder + '/' + parts.join('/'), new Uint8Array(await files[i].arrayBuffer()));
      ++copied;
    } catch (e) {
      ++skipped;  // unreadable on the user's disk: the program will log what it misses
    }
  }
  // The program reads the data set of its current folder again on F5, manifests included.
  FS.chdir(folder);
  Module._kvr_page_key(VK_F5);
  if (currentUpload) {
    try { removeTree(currentUpload); } catch (e) { /* already gone */ }
  }
  currentUpload = folder;
  var name = (files[0].webkitRelativePath || '').split('/')[0] || 'the chosen folder';
  statusLine.textContent = 'Showing ' + name + ' (' + copied + ' files' + (skipped ? ', ' + skipped + ' left out' : '') + ')';
}

document.getElementById('folder').addEventListener('change', function (e) {
  var input = e.target;
  openFolder(Array.from(input.files)).finally(function () {
    input.value = '';  // the same folder chosen again is read again
    input.blur();      // keys go to the program, not to the button
  });
});

document.getElementById('showlog').addEventListener('click', function (e) {
  e.preventDefault();
  if (logView.style.display === 'block') { logView.style.display = 'none'; return; }
  var text;
  try {
    text = FS.readFile(FS.cwd() + '/KVRerrors.log', {encoding: 'utf8'});
  } catch (err) {
    text = '(no KVRerrors.log in ' + (typeof FS === 'undefined' ? 'the data set' : FS.cwd()) + ' yet)';
  }
  logView.textContent = text;
  logView.style.display = 'block';
  this.blur();
});
