// The page round a Win32/Direct3D 9 program built with kvrplatform-web, run before the program.
// - The program draws on the page's element with id "canvas" (made here when the page has none).
// - The page's URL stands in for the command line and the environment: each ?arg=... is one
//   argument of lpCmdLine, in order; every other parameter whose name is a valid environment
//   variable name (letters, digits, underscores, not starting with a digit) is an environment
//   variable for getenv, e.g. page.html?TUTORIAL_TIME_MS=1150.
// - Module.kvrExitCode holds WinMain's result once it has returned; the files the program wrote
//   stay in the page's memory (Module.FS) for the page to read.
// - An element with id "status" tells the program's state; the first window's title becomes the
//   page's, and SetWindowText sets it later.
(function () {
  if (typeof document == 'undefined') return;
  var canvas = document.getElementById('canvas');
  if (!canvas) {
    canvas = document.createElement('canvas');
    canvas.id = 'canvas';
    canvas.width = 1024;
    canvas.height = 768;
    document.body.appendChild(canvas);
  }
  Module.canvas = Module.canvas || canvas;
  Module.kvrWindowTitle = true;
  var status = document.getElementById('status');
  function say(text) { if (status) status.textContent = text; }

  var args = [], env = {};
  new URLSearchParams(location.search).forEach(function (value, name) {
    if (name === 'arg') args.push(value);
    else if (/^[A-Za-z_][A-Za-z0-9_]*$/.test(name)) env[name] = value;
  });
  if (!Module.arguments) Module.arguments = args;
  // A program that never calls getenv has no environment to fill.
  Module.preRun = [].concat(Module.preRun || [], [function () {
    if (typeof ENV == 'undefined') return;
    Object.keys(env).forEach(function (name) { ENV[name] = env[name]; });
  }]);
  Module.setStatus = Module.setStatus || function (text) { if (text) say(text); };
  var started = Module.onRuntimeInitialized;
  Module.onRuntimeInitialized = function () {
    say('Running');
    if (started) started();
  };
  var ended = Module.onExit;
  Module.onExit = function (code) {
    Module.kvrExitCode = code;
    say('The program has ended (exit code ' + code + '): reload the page to run it again');
    if (ended) ended(code);
  };
  // The program's end unwinds its stack with an ExitStatus thrown from the frame it ended in:
  // that is how it stops, not an error.
  window.addEventListener('unhandledrejection', function (e) {
    if (e.reason && e.reason.name === 'ExitStatus') e.preventDefault();
  });
  canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
})();
