// The page around the program: starts it on the bundled sample, scales the canvas to the browser
// window, copies a data set folder chosen on the user's disk into the page's memory (nothing
// leaves the machine) and asks the program to read it with F5, shows the current log, and gives
// the model shown to the browser's download as a .glb file.
// A chosen folder is a stranger's download like any other: one over MAX_FILES files or MAX_BYTES
// bytes is refused before a byte of it is read, and the data set shown stays on screen until the
// new one is wholly in memory and holds a start-up manifest.
'use strict';

var MAX_FILES = 20000;
var MAX_BYTES = 512 * 1024 * 1024;
var STARTUP_MANIFEST = 'duskfen/kvrstartup.gam';  // in any letter case, as the program finds it

var VK_F5 = 0x74;
var canvas = document.getElementById('canvas');
var statusLine = document.getElementById('status');
var logView = document.getElementById('log');
var uploads = 0;          // data sets copied in so far: each goes to a folder of its own
var currentUpload = null;  // the folder of the last one, removed when the next one comes
var currentName = 'the sample data set';  // what is shown now
var reading = false;       // a chosen folder is being read
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

// Says why the chosen folder is not shown, and that the current data set still is.
function refuse(why) {
  statusLine.textContent = why + ': still showing ' + currentName;
}

// Reads every file of the chosen folder into memory: [{parts, bytes}], or a reason to refuse it.
async function readFolder(files) {
  if (files.length > MAX_FILES)
    return 'The folder holds ' + files.length + ' files, more than the ' + MAX_FILES + ' a data set may have here';
  var total = 0;
  for (var i = 0; i < files.length; ++i) total += files[i].size;
  if (total > MAX_BYTES)
    return 'The folder holds ' + Math.ceil(total / 1048576) + ' MiB, more than the ' + MAX_BYTES / 1048576 +
           ' MiB a data set may have here';
  var read = [], skipped = 0, manifest = false;
  total = 0;
  for (var k = 0; k < files.length; ++k) {
    var parts = relativeParts(files[k]);
    if (!parts) { ++skipped; continue; }
    statusLine.textContent = 'Reading file ' + (k + 1) + ' of ' + files.length + '…';
    try {
      var bytes = new Uint8Array(await files[k].arrayBuffer());
    } catch (e) {
      ++skipped;  // unreadable on the user's disk: the program will log what it misses
      continue;
    }
    total += bytes.length;  // a file may have grown since it was listed
    if (total > MAX_BYTES) return 'The folder has grown past ' + MAX_BYTES / 1048576 + ' MiB while it was read';
    if (parts.join('/').toLowerCase() === STARTUP_MANIFEST) manifest = true;
    read.push({parts: parts, bytes: bytes});
  }
  if (!manifest) return 'No data set: the folder holds no duskfen/KVRStartUp.gam';
  return {files: read, skipped: skipped};
}

async function openFolder(files) {
  if (!files.length || typeof FS === 'undefined') return;
  if (ended) {
    statusLine.textContent = 'kvrview has ended: reload the page, then open the folder';
    return;
  }
  if (reading) return;
  var name = (files[0].webkitRelativePath || '').split('/')[0] || 'the chosen folder';
  reading = true;
  var result;
  try {
    result = await readFolder(files);
  } finally {
    reading = false;
  }
  if (typeof result === 'string') { refuse(result); return; }
  // Wholly in memory: now it takes the old one's place.
  var folder = '/datasets/' + (++uploads);
  FS.mkdirTree(folder);
  result.files.forEach(function (file) {
    if (file.parts.length > 1) FS.mkdirTree(folder + '/' + file.parts.slice(0, -1).join('/'));
    FS.writeFile(folder + '/' + file.parts.join('/'), file.bytes);
  });
  // The program reads the data set of its current folder again on F5, manifests included.
  FS.chdir(folder);
  Module._kvr_page_key(VK_F5);
  if (currentUpload) {
    try { removeTree(currentUpload); } catch (e) { /* already gone */ }
  }
  currentUpload = folder;
  currentName = name;
  var skipped = result.skipped;
  statusLine.textContent = 'Showing ' + name + ' (' + result.files.length + ' files' + (skipped ? ', ' + skipped + ' left out' : '') + ')';
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

// A model name as a file name: separators and control characters become '_'.
function fileNameOf(name) {
  var file = name.replace(/[\/\\:\u0000-\u001f\u007f]/g, '_');
  return file === '' || file === '.' || file === '..' ? '_' + file : file;
}

// The model shown, exported by the program into its memory, copied out as a Blob and handed to
// the browser's download; the program's copy is let go at once.
document.getElementById('download').addEventListener('click', function (e) {
  e.preventDefault();
  this.blur();  // keys go to the program, not to the link
  if (ended || typeof Module._kvr_page_export_glb !== 'function') {
    statusLine.textContent = ended ? 'kvrview has ended: reload the page to download a model' : 'kvrview is still starting';
    return;
  }
  var length = Module._kvr_page_export_glb();
  // Not through ccall: the program is suspended in its loop, where ccall would answer a promise.
  var text = Module.UTF8ToString(Module._kvr_page_export_text());
  if (length < 0) {
    statusLine.textContent = 'No glTF file: ' + text;
    return;
  }
  var at = Module._kvr_page_export_bytes();
  var bytes = Module.HEAPU8.slice(at, at + length);
  Module._kvr_page_export_release();
  var file = fileNameOf(text) + '.glb';
  var url = URL.createObjectURL(new Blob([bytes], {type: 'model/gltf-binary'}));
  var link = document.createElement('a');
  link.href = url;
  link.download = file;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(function () { URL.revokeObjectURL(url); }, 60000);
  statusLine.textContent = file + ': ' + length + ' bytes';
});
