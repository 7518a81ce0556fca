// Compiled twice: against kvrplatform's headers and against the Windows SDK headers of mingw-w64.
// Every function and COM method that kvrplatform declares is taken below as a pointer of its
// exact Windows type, so a declaration whose signature differs from the real API fails to compile
// in one of the two builds, before any program calls it. Linking the result also proves that every
// declared function exists: in kvrplatform on Linux, in the import libraries on Windows.
// The static_asserts pin the numbers programs store in files or pass straight to the device.
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <tchar.h>
#include <strsafe.h>
#include <shlobj.h>

#include <cstddef>

namespace {

// Each pointer is stored where the optimiser must keep it, so the link needs every function.
// Nothing ever calls through them.
template <typename T>
T volatile g_kept{};
template <typename T>
void Keep(T pointer) {
  g_kept<T> = pointer;
}

void CheckUser32() {
  ATOM(WINAPI * registerClassEx)(const WNDCLASSEXA*) = &RegisterClassExA;
  BOOL(WINAPI * unregisterClass)(LPCSTR, HINSTANCE) = &UnregisterClassA;
  HWND(WINAPI * createWindowEx)(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                                LPVOID) = &CreateWindowExA;
  BOOL(WINAPI * destroyWindow)(HWND) = &DestroyWindow;
  HWND(WINAPI * getDesktopWindow)(void) = &GetDesktopWindow;
  BOOL(WINAPI * getClientRect)(HWND, LPRECT) = &GetClientRect;
  BOOL(WINAPI * peekMessage)(LPMSG, HWND, UINT, UINT, UINT) = &PeekMessageA;
  BOOL(WINAPI * translateMessage)(const MSG*) = &TranslateMessage;
  LRESULT(WINAPI * dispatchMessage)(const MSG*) = &DispatchMessageA;
  LRESULT(WINAPI * defWindowProc)(HWND, UINT, WPARAM, LPARAM) = &DefWindowProcA;
  WNDPROC asWindowProc = &DefWindowProcA;  // the default procedure is a valid class procedure
  BOOL(WINAPI * postMessage)(HWND, UINT, WPARAM, LPARAM) = &PostMessageA;
  void(WINAPI * postQuitMessage)(int) = &PostQuitMessage;
  BOOL(WINAPI * validateRect)(HWND, const RECT*) = &ValidateRect;
  int(WINAPI * showCursor)(BOOL) = &ShowCursor;
  BOOL(WINAPI * getCursorPos)(LPPOINT) = &GetCursorPos;
  SHORT(WINAPI * getAsyncKeyState)(int) = &GetAsyncKeyState;
  Keep(registerClassEx), Keep(unregisterClass), Keep(createWindowEx), Keep(destroyWindow);
  Keep(getDesktopWindow), Keep(getClientRect), Keep(peekMessage), Keep(translateMessage);
  Keep(dispatchMessage), Keep(defWindowProc), Keep(asWindowProc), Keep(postMessage);
  Keep(postQuitMessage), Keep(validateRect), Keep(showCursor), Keep(getCursorPos), Keep(getAsyncKeyState);

  ATOM(WINAPI * registerClassExW)(const WNDCLASSEXW*) = &RegisterClassExW;
  ATOM(WINAPI * registerClassA)(const WNDCLASSA*) = &RegisterClassA;
  ATOM(WINAPI * registerClassW)(const WNDCLASSW*) = &RegisterClassW;
  BOOL(WINAPI * unregisterClassW)(LPCWSTR, HINSTANCE) = &UnregisterClassW;
  HWND(WINAPI * createWindowExW)(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                                 LPVOID) = &CreateWindowExW;
  BOOL(WINAPI * showWindow)(HWND, int) = &ShowWindow;
  BOOL(WINAPI * updateWindow)(HWND) = &UpdateWindow;
  BOOL(WINAPI * getWindowRect)(HWND, LPRECT) = &GetWindowRect;
  BOOL(WINAPI * adjustWindowRect)(LPRECT, DWORD, BOOL) = &AdjustWindowRect;
  BOOL(WINAPI * adjustWindowRectEx)(LPRECT, DWORD, BOOL, DWORD) = &AdjustWindowRectEx;
  int(WINAPI * getSystemMetrics)(int) = &GetSystemMetrics;
  BOOL(WINAPI * peekMessageW)(LPMSG, HWND, UINT, UINT, UINT) = &PeekMessageW;
  BOOL(WINAPI * getMessageA)(LPMSG, HWND, UINT, UINT) = &GetMessageA;
  BOOL(WINAPI * getMessageW)(LPMSG, HWND, UINT, UINT) = &GetMessageW;
  LRESULT(WINAPI * dispatchMessageW)(const MSG*) = &DispatchMessageW;
  LRESULT(WINAPI * defWindowProcW)(HWND, UINT, WPARAM, LPARAM) = &DefWindowProcW;
  BOOL(WINAPI * postMessageW)(HWND, UINT, WPARAM, LPARAM) = &PostMessageW;
  int(WINAPI * messageBoxA)(HWND, LPCSTR, LPCSTR, UINT) = &MessageBoxA;
  int(WINAPI * messageBoxW)(HWND, LPCWSTR, LPCWSTR, UINT) = &MessageBoxW;
  HICON(WINAPI * loadIconA)(HINSTANCE, LPCSTR) = &LoadIconA;
  HICON(WINAPI * loadIconW)(HINSTANCE, LPCWSTR) = &LoadIconW;
  HCURSOR(WINAPI * loadCursorA)(HINSTANCE, LPCSTR) = &LoadCursorA;
  HCURSOR(WINAPI * loadCursorW)(HINSTANCE, LPCWSTR) = &LoadCursorW;
  Keep(registerClassExW), Keep(registerClassA), Keep(registerClassW), Keep(unregisterClassW);
  Keep(createWindowExW), Keep(showWindow), Keep(updateWindow), Keep(getWindowRect), Keep(adjustWindowRect);
  Keep(adjustWindowRectEx), Keep(getSystemMetrics), Keep(peekMessageW), Keep(getMessageA), Keep(getMessageW);
  Keep(dispatchMessageW), Keep(defWindowProcW), Keep(postMessageW), Keep(messageBoxA), Keep(messageBoxW);
  Keep(loadIconA), Keep(loadIconW), Keep(loadCursorA), Keep(loadCursorW);
}

// The generic-text names, in whichever width this build has (api_check is built both without and
// with UNICODE): each must be the A or W function of the matching type, TCHAR strings and all.
void CheckWindowHelpers() {
  BOOL(WINAPI * getKeyboardState)(PBYTE) = &GetKeyboardState;
  UINT_PTR(WINAPI * setTimer)(HWND, UINT_PTR, UINT, TIMERPROC) = &SetTimer;
  BOOL(WINAPI * killTimer)(HWND, UINT_PTR) = &KillTimer;
  BOOL(WINAPI * setWindowTextA)(HWND, LPCSTR) = &SetWindowTextA;
  BOOL(WINAPI * setWindowTextW)(HWND, LPCWSTR) = &SetWindowTextW;
  BOOL(WINAPI * screenToClient)(HWND, LPPOINT) = &ScreenToClient;
  BOOL(WINAPI * clientToScreen)(HWND, LPPOINT) = &ClientToScreen;
  LONG_PTR(WINAPI * getWindowLongPtrA)(HWND, int) = &GetWindowLongPtrA;
  LONG_PTR(WINAPI * getWindowLongPtrW)(HWND, int) = &GetWindowLongPtrW;
  LONG_PTR(WINAPI * setWindowLongPtrA)(HWND, int, LONG_PTR) = &SetWindowLongPtrA;
  LONG_PTR(WINAPI * setWindowLongPtrW)(HWND, int, LONG_PTR) = &SetWindowLongPtrW;
  HDC(WINAPI * getDC)(HWND) = &GetDC;
  int(WINAPI * releaseDC)(HWND, HDC) = &ReleaseDC;
  BOOL(WINAPI * setRect)(LPRECT, int, int, int, int) = &SetRect;
  BOOL(WINAPI * setRectEmpty)(LPRECT) = &SetRectEmpty;
  BOOL(WINAPI * copyRect)(LPRECT, const RECT*) = &CopyRect;
  BOOL(WINAPI * inflateRect)(LPRECT, int, int) = &InflateRect;
  BOOL(WINAPI * offsetRect)(LPRECT, int, int) = &OffsetRect;
  BOOL(WINAPI * intersectRect)(LPRECT, const RECT*, const RECT*) = &IntersectRect;
  BOOL(WINAPI * unionRect)(LPRECT, const RECT*, const RECT*) = &UnionRect;
  BOOL(WINAPI * ptInRect)(const RECT*, POINT) = &PtInRect;
  BOOL(WINAPI * isRectEmpty)(const RECT*) = &IsRectEmpty;
  BOOL(WINAPI * equalRect)(const RECT*, const RECT*) = &EqualRect;
  DWORD(WINAPI * getTickCount)(void) = &GetTickCount;
  DWORD(WINAPI * getLastError)(void) = &GetLastError;
  void(WINAPI * setLastError)(DWORD) = &SetLastError;
  void(WINAPI * outputDebugStringA)(LPCSTR) = &OutputDebugStringA;
  void(WINAPI * outputDebugStringW)(LPCWSTR) = &OutputDebugStringW;
  int(WINAPI * multiByteToWideChar)(UINT, DWORD, LPCCH, int, LPWSTR, int) = &MultiByteToWideChar;
  int(WINAPI * wideCharToMultiByte)(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL) = &WideCharToMultiByte;
  Keep(getKeyboardState), Keep(setTimer), Keep(killTimer), Keep(setWindowTextA), Keep(setWindowTextW);
  Keep(screenToClient), Keep(clientToScreen), Keep(getWindowLongPtrA), Keep(getWindowLongPtrW);
  Keep(setWindowLongPtrA), Keep(setWindowLongPtrW), Keep(getDC), Keep(releaseDC), Keep(setRect);
  Keep(setRectEmpty), Keep(copyRect), Keep(inflateRect), Keep(offsetRect), Keep(intersectRect), Keep(unionRect);
  Keep(ptInRect), Keep(isRectEmpty), Keep(equalRect), Keep(getTickCount), Keep(getLastError), Keep(setLastError);
  Keep(outputDebugStringA), Keep(outputDebugStringW), Keep(multiByteToWideChar), Keep(wideCharToMultiByte);
  // The generic-text names.
  BOOL(WINAPI * setWindowText)(HWND, LPCTSTR) = &SetWindowText;
  LONG_PTR(WINAPI * getWindowLongPtr)(HWND, int) = &GetWindowLongPtr;
  LONG_PTR(WINAPI * setWindowLongPtr)(HWND, int, LONG_PTR) = &SetWindowLongPtr;
  void(WINAPI * outputDebugString)(LPCTSTR) = &OutputDebugString;
  Keep(setWindowText), Keep(getWindowLongPtr), Keep(setWindowLongPtr), Keep(outputDebugString);
}

void CheckD3DXMathTypes() {
  D3DXQUATERNION*(WINAPI * qAxis)(D3DXQUATERNION*, const D3DXVECTOR3*, FLOAT) = &D3DXQuaternionRotationAxis;
  D3DXQUATERNION*(WINAPI * qMatrix)(D3DXQUATERNION*, const D3DXMATRIX*) = &D3DXQuaternionRotationMatrix;
  D3DXQUATERNION*(WINAPI * qYpr)(D3DXQUATERNION*, FLOAT, FLOAT, FLOAT) = &D3DXQuaternionRotationYawPitchRoll;
  D3DXQUATERNION*(WINAPI * qMultiply)(D3DXQUATERNION*, const D3DXQUATERNION*, const D3DXQUATERNION*) =
      &D3DXQuaternionMultiply;
  D3DXQUATERNION*(WINAPI * qNormalize)(D3DXQUATERNION*, const D3DXQUATERNION*) = &D3DXQuaternionNormalize;
  D3DXQUATERNION*(WINAPI * qInverse)(D3DXQUATERNION*, const D3DXQUATERNION*) = &D3DXQuaternionInverse;
  D3DXQUATERNION*(WINAPI * qSlerp)(D3DXQUATERNION*, const D3DXQUATERNION*, const D3DXQUATERNION*, FLOAT) =
      &D3DXQuaternionSlerp;
  void(WINAPI * qAxisAngle)(const D3DXQUATERNION*, D3DXVECTOR3*, FLOAT*) = &D3DXQuaternionToAxisAngle;
  D3DXMATRIX*(WINAPI * mQuaternion)(D3DXMATRIX*, const D3DXQUATERNION*) = &D3DXMatrixRotationQuaternion;
  D3DXPLANE*(WINAPI * pPointNormal)(D3DXPLANE*, const D3DXVECTOR3*, const D3DXVECTOR3*) = &D3DXPlaneFromPointNormal;
  D3DXPLANE*(WINAPI * pPoints)(D3DXPLANE*, const D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXVECTOR3*) =
      &D3DXPlaneFromPoints;
  D3DXPLANE*(WINAPI * pNormalize)(D3DXPLANE*, const D3DXPLANE*) = &D3DXPlaneNormalize;
  D3DXVECTOR3*(WINAPI * pLine)(D3DXVECTOR3*, const D3DXPLANE*, const D3DXVECTOR3*, const D3DXVECTOR3*) =
      &D3DXPlaneIntersectLine;
  D3DXPLANE*(WINAPI * pTransform)(D3DXPLANE*, const D3DXPLANE*, const D3DXMATRIX*) = &D3DXPlaneTransform;
  D3DXMATRIX*(WINAPI * mReflect)(D3DXMATRIX*, const D3DXPLANE*) = &D3DXMatrixReflect;
  D3DXMATRIX*(WINAPI * mShadow)(D3DXMATRIX*, const D3DXVECTOR4*, const D3DXPLANE*) = &D3DXMatrixShadow;
  D3DXCOLOR*(WINAPI * cSaturation)(D3DXCOLOR*, const D3DXCOLOR*, FLOAT) = &D3DXColorAdjustSaturation;
  D3DXCOLOR*(WINAPI * cContrast)(D3DXCOLOR*, const D3DXCOLOR*, FLOAT) = &D3DXColorAdjustContrast;
  HRESULT(WINAPI * createStack)(DWORD, LPD3DXMATRIXSTACK*) = &D3DXCreateMatrixStack;
  Keep(qAxis), Keep(qMatrix), Keep(qYpr), Keep(qMultiply), Keep(qNormalize), Keep(qInverse), Keep(qSlerp);
  Keep(qAxisAngle), Keep(mQuaternion), Keep(pPointNormal), Keep(pPoints), Keep(pNormalize), Keep(pLine);
  Keep(pTransform), Keep(mReflect), Keep(mShadow), Keep(cSaturation), Keep(cContrast), Keep(createStack);
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*pop)() = &ID3DXMatrixStack::Pop;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*push)() = &ID3DXMatrixStack::Push;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*loadIdentity)() = &ID3DXMatrixStack::LoadIdentity;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*loadMatrix)(const D3DXMATRIX*) = &ID3DXMatrixStack::LoadMatrix;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*multMatrix)(const D3DXMATRIX*) = &ID3DXMatrixStack::MultMatrix;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*multMatrixLocal)(const D3DXMATRIX*) =
      &ID3DXMatrixStack::MultMatrixLocal;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*rotateAxis)(const D3DXVECTOR3*, FLOAT) = &ID3DXMatrixStack::RotateAxis;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*rotateAxisLocal)(const D3DXVECTOR3*, FLOAT) =
      &ID3DXMatrixStack::RotateAxisLocal;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*rotateYpr)(FLOAT, FLOAT, FLOAT) = &ID3DXMatrixStack::RotateYawPitchRoll;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*rotateYprLocal)(FLOAT, FLOAT, FLOAT) =
      &ID3DXMatrixStack::RotateYawPitchRollLocal;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*scale)(FLOAT, FLOAT, FLOAT) = &ID3DXMatrixStack::Scale;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*scaleLocal)(FLOAT, FLOAT, FLOAT) = &ID3DXMatrixStack::ScaleLocal;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*translate)(FLOAT, FLOAT, FLOAT) = &ID3DXMatrixStack::Translate;
  HRESULT(STDMETHODCALLTYPE ID3DXMatrixStack::*translateLocal)(FLOAT, FLOAT, FLOAT) =
      &ID3DXMatrixStack::TranslateLocal;
  D3DXMATRIX*(STDMETHODCALLTYPE ID3DXMatrixStack::*getTop)() = &ID3DXMatrixStack::GetTop;
  Keep(pop), Keep(push), Keep(loadIdentity), Keep(loadMatrix), Keep(multMatrix), Keep(multMatrixLocal);
  Keep(rotateAxis), Keep(rotateAxisLocal), Keep(rotateYpr), Keep(rotateYprLocal), Keep(scale), Keep(scaleLocal);
  Keep(translate), Keep(translateLocal), Keep(getTop);
  static_assert(sizeof(D3DXQUATERNION) == 16 && sizeof(D3DXPLANE) == 16 && sizeof(D3DXCOLOR) == 16, "");
  // The inline helpers and the types' operators, as programs write them.
  D3DXCOLOR color(0xFF336699);
  const D3DXCOLOR white(1.0f, 1.0f, 1.0f, 1.0f);
  D3DXColorLerp(&color, &color, &white, 0.5f);
  DWORD packed = color;
  D3DXQUATERNION q;
  D3DXQuaternionIdentity(&q);
  q = q * q;
  D3DXPLANE plane(0.0f, 1.0f, 0.0f, 0.0f);
  // (D3DXPlaneDotCoord and DotNormal take a D3DXVECTOR3 in the SDK and here, a D3DXVECTOR4 in
  // mingw-w64's headers: programs for both builds can't call them.)
  const D3DXVECTOR4 point(0.0f, 2.0f, 0.0f, 1.0f);
  FLOAT height = D3DXPlaneDot(&plane, &point);
  Keep(packed), Keep(height), Keep(q.w);
}

void CheckGenericTextNames() {
  ATOM(WINAPI * registerClassEx)(const WNDCLASSEX*) = &RegisterClassEx;
  ATOM(WINAPI * registerClass)(const WNDCLASS*) = &RegisterClass;
  BOOL(WINAPI * unregisterClass)(LPCTSTR, HINSTANCE) = &UnregisterClass;
  HWND(WINAPI * createWindowEx)(DWORD, LPCTSTR, LPCTSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                                LPVOID) = &CreateWindowEx;
  BOOL(WINAPI * peekMessage)(LPMSG, HWND, UINT, UINT, UINT) = &PeekMessage;
  BOOL(WINAPI * getMessage)(LPMSG, HWND, UINT, UINT) = &GetMessage;
  LRESULT(WINAPI * dispatchMessage)(const MSG*) = &DispatchMessage;
  LRESULT(WINAPI * defWindowProc)(HWND, UINT, WPARAM, LPARAM) = &DefWindowProc;
  BOOL(WINAPI * postMessage)(HWND, UINT, WPARAM, LPARAM) = &PostMessage;
  int(WINAPI * messageBox)(HWND, LPCTSTR, LPCTSTR, UINT) = &MessageBox;
  HICON(WINAPI * loadIcon)(HINSTANCE, LPCTSTR) = &LoadIcon;
  HCURSOR(WINAPI * loadCursor)(HINSTANCE, LPCTSTR) = &LoadCursor;
  HMODULE(WINAPI * getModuleHandle)(LPCTSTR) = &GetModuleHandle;
  HRESULT(WINAPI * textureFromFile)(LPDIRECT3DDEVICE9, LPCTSTR, LPDIRECT3DTEXTURE9*) = &D3DXCreateTextureFromFile;
  HRESULT(WINAPI * textureFromFileEx)(LPDIRECT3DDEVICE9, LPCTSTR, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                      DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*, PALETTEENTRY*,
                                      LPDIRECT3DTEXTURE9*) = &D3DXCreateTextureFromFileEx;
  HRESULT(WINAPI * imageInfo)(LPCTSTR, D3DXIMAGE_INFO*) = &D3DXGetImageInfoFromFile;
  HRESULT(WINAPI * saveSurface)(LPCTSTR, D3DXIMAGE_FILEFORMAT, LPDIRECT3DSURFACE9, const PALETTEENTRY*,
                                const RECT*) = &D3DXSaveSurfaceToFile;
  HRESULT(WINAPI * cchCopy)(LPTSTR, size_t, LPCTSTR) = &StringCchCopy;
  HRESULT(WINAPI * cchCat)(LPTSTR, size_t, LPCTSTR) = &StringCchCat;
  HRESULT (*cchPrintf)(LPTSTR, size_t, LPCTSTR, ...) = &StringCchPrintf;
  HRESULT (*cbPrintf)(LPTSTR, size_t, LPCTSTR, ...) = &StringCbPrintf;
  HRESULT(WINAPI * cchLength)(LPCTSTR, size_t, size_t*) = &StringCchLength;
  Keep(registerClassEx), Keep(registerClass), Keep(unregisterClass), Keep(createWindowEx), Keep(peekMessage);
  Keep(getMessage), Keep(dispatchMessage), Keep(defWindowProc), Keep(postMessage), Keep(messageBox);
  Keep(loadIcon), Keep(loadCursor), Keep(getModuleHandle), Keep(textureFromFile), Keep(textureFromFileEx);
  Keep(imageInfo), Keep(saveSurface), Keep(cchCopy), Keep(cchCat), Keep(cchPrintf), Keep(cbPrintf), Keep(cchLength);
  // The macros that stand for calls, and the text and character types.
  HWND window = CreateWindow(TEXT("class"), _T("title"), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, NULL, NULL);
  Keep(window);
  TCHAR text[4] = {};
  _TCHAR generic[4] = {};
  static_assert(sizeof(text[0]) == sizeof(TEXT('a')) && sizeof(generic[0]) == sizeof(_T('a')), "");
  static_assert(sizeof(WCHAR) == sizeof(wchar_t) && sizeof(L'a') == sizeof(wchar_t), "");
  static_assert(ARRAYSIZE(text) == 4, "");
  UNREFERENCED_PARAMETER(generic[0]);
  LPTSTR asPointer = MAKEINTRESOURCE(1);
  Keep(asPointer);
}

void CheckStrsafe() {
  HRESULT(WINAPI * cchCopyA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR) = &StringCchCopyA;
  HRESULT(WINAPI * cchCopyW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR) = &StringCchCopyW;
  HRESULT(WINAPI * cchCopyNA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR, size_t) = &StringCchCopyNA;
  HRESULT(WINAPI * cchCopyNW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR, size_t) = &StringCchCopyNW;
  HRESULT(WINAPI * cchCatA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR) = &StringCchCatA;
  HRESULT(WINAPI * cchCatW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR) = &StringCchCatW;
  HRESULT(WINAPI * cchVPrintfA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR, va_list) = &StringCchVPrintfA;
  HRESULT(WINAPI * cchVPrintfW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR, va_list) = &StringCchVPrintfW;
  HRESULT (*cchPrintfA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR, ...) = &StringCchPrintfA;
  HRESULT (*cchPrintfW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR, ...) = &StringCchPrintfW;
  HRESULT(WINAPI * cchLengthA)(STRSAFE_LPCSTR, size_t, size_t*) = &StringCchLengthA;
  HRESULT(WINAPI * cchLengthW)(STRSAFE_LPCWSTR, size_t, size_t*) = &StringCchLengthW;
  HRESULT(WINAPI * cbCopyA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR) = &StringCbCopyA;
  HRESULT(WINAPI * cbCopyW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR) = &StringCbCopyW;
  HRESULT(WINAPI * cbCatA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR) = &StringCbCatA;
  HRESULT(WINAPI * cbCatW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR) = &StringCbCatW;
  HRESULT(WINAPI * cbVPrintfA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR, va_list) = &StringCbVPrintfA;
  HRESULT(WINAPI * cbVPrintfW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR, va_list) = &StringCbVPrintfW;
  HRESULT (*cbPrintfA)(STRSAFE_LPSTR, size_t, STRSAFE_LPCSTR, ...) = &StringCbPrintfA;
  HRESULT (*cbPrintfW)(STRSAFE_LPWSTR, size_t, STRSAFE_LPCWSTR, ...) = &StringCbPrintfW;
  HRESULT(WINAPI * cbLengthA)(STRSAFE_LPCSTR, size_t, size_t*) = &StringCbLengthA;
  HRESULT(WINAPI * cbLengthW)(STRSAFE_LPCWSTR, size_t, size_t*) = &StringCbLengthW;
  Keep(cchCopyA), Keep(cchCopyW), Keep(cchCopyNA), Keep(cchCopyNW), Keep(cchCatA), Keep(cchCatW);
  Keep(cchVPrintfA), Keep(cchVPrintfW), Keep(cchPrintfA), Keep(cchPrintfW), Keep(cchLengthA), Keep(cchLengthW);
  Keep(cbCopyA), Keep(cbCopyW), Keep(cbCatA), Keep(cbCatW), Keep(cbVPrintfA), Keep(cbVPrintfW);
  Keep(cbPrintfA), Keep(cbPrintfW), Keep(cbLengthA), Keep(cbLengthW);
}

void CheckKernel32AndWinmm() {
  HMODULE(WINAPI * getModuleHandle)(LPCSTR) = &GetModuleHandleA;
  HANDLE(WINAPI * createFile)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = &CreateFileA;
  BOOL(WINAPI * readFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) = &ReadFile;
  DWORD(WINAPI * getFileSize)(HANDLE, LPDWORD) = &GetFileSize;
  BOOL(WINAPI * writeFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = &WriteFile;
  DWORD(WINAPI * setFilePointer)(HANDLE, LONG, PLONG, DWORD) = &SetFilePointer;
  BOOL(WINAPI * setEndOfFile)(HANDLE) = &SetEndOfFile;
  DWORD(WINAPI * getFileType)(HANDLE) = &GetFileType;
  BOOL(WINAPI * getFileInformation)(HANDLE, LPBY_HANDLE_FILE_INFORMATION) = &GetFileInformationByHandle;
  DWORD(WINAPI * getFileAttributes)(LPCSTR) = &GetFileAttributesA;
  HANDLE(WINAPI * getStdHandle)(DWORD) = &GetStdHandle;
  BOOL(WINAPI * queryCounter)(LARGE_INTEGER*) = &QueryPerformanceCounter;
  BOOL(WINAPI * queryFrequency)(LARGE_INTEGER*) = &QueryPerformanceFrequency;
  BOOL(WINAPI * getFileAttributesEx)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID) = &GetFileAttributesExA;
  BOOL(WINAPI * setCurrentDirectory)(LPCSTR) = &SetCurrentDirectoryA;
  DWORD(WINAPI * getCurrentDirectory)(DWORD, LPSTR) = &GetCurrentDirectoryA;
  DWORD(WINAPI * getFullPathName)(LPCSTR, DWORD, LPSTR, LPSTR*) = &GetFullPathNameA;
  BOOL(WINAPI * setEnvironmentVariable)(LPCSTR, LPCSTR) = &SetEnvironmentVariableA;
  DWORD(WINAPI * getFinalPathName)(HANDLE, LPSTR, DWORD, DWORD) = &GetFinalPathNameByHandleA;
  BOOL(WINAPI * createDirectory)(LPCSTR, LPSECURITY_ATTRIBUTES) = &CreateDirectoryA;
  BOOL(WINAPI * deleteFile)(LPCSTR) = &DeleteFileA;
  UINT(WINAPI * getTempFileName)(LPCSTR, LPCSTR, UINT, LPSTR) = &GetTempFileNameA;
  HRESULT(WINAPI * getFolderPath)(HWND, int, HANDLE, DWORD, LPSTR) = &SHGetFolderPathA;
  Keep(createDirectory), Keep(deleteFile), Keep(getTempFileName), Keep(getFolderPath);
  BOOL(WINAPI * closeHandle)(HANDLE) = &CloseHandle;
  HANDLE(WINAPI * findFirstChange)(LPCSTR, BOOL, DWORD) = &FindFirstChangeNotificationA;
  BOOL(WINAPI * findNextChange)(HANDLE) = &FindNextChangeNotification;
  BOOL(WINAPI * findCloseChange)(HANDLE) = &FindCloseChangeNotification;
  DWORD(WINAPI * waitForSingleObject)(HANDLE, DWORD) = &WaitForSingleObject;
  int(WINAPI * mulDiv)(int, int, int) = &MulDiv;
  DWORD(WINAPI * getTime)(void) = &timeGetTime;
  HMODULE(WINAPI * getModuleHandleW)(LPCWSTR) = &GetModuleHandleW;
  Keep(getModuleHandleW);
  Keep(getModuleHandle), Keep(createFile), Keep(readFile), Keep(getFileSize), Keep(writeFile);
  Keep(setFilePointer), Keep(setEndOfFile), Keep(getFileType), Keep(getFileInformation);
  Keep(getFileAttributes), Keep(getFileAttributesEx), Keep(setCurrentDirectory), Keep(closeHandle);
  Keep(getCurrentDirectory), Keep(getFullPathName), Keep(setEnvironmentVariable), Keep(getFinalPathName), Keep(mulDiv), Keep(getTime), Keep(getStdHandle);
  Keep(queryCounter), Keep(queryFrequency);
  Keep(findFirstChange), Keep(findNextChange), Keep(findCloseChange), Keep(waitForSingleObject);
}

void CheckGdi32() {
  HDC(WINAPI * createCompatibleDC)(HDC) = &CreateCompatibleDC;
  BOOL(WINAPI * deleteDC)(HDC) = &DeleteDC;
  int(WINAPI * setMapMode)(HDC, int) = &SetMapMode;
  int(WINAPI * getDeviceCaps)(HDC, int) = &GetDeviceCaps;
  HFONT(WINAPI * createFont)(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                             LPCSTR) = &CreateFontA;
  HGDIOBJ(WINAPI * selectObject)(HDC, HGDIOBJ) = &SelectObject;
  BOOL(WINAPI * deleteObject)(HGDIOBJ) = &DeleteObject;
  BOOL(WINAPI * getTextExtent)(HDC, LPCSTR, int, LPSIZE) = &GetTextExtentPoint32A;
  HBITMAP(WINAPI * createDIBSection)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) = &CreateDIBSection;
  COLORREF(WINAPI * setTextColor)(HDC, COLORREF) = &SetTextColor;
  COLORREF(WINAPI * setBkColor)(HDC, COLORREF) = &SetBkColor;
  UINT(WINAPI * setTextAlign)(HDC, UINT) = &SetTextAlign;
  BOOL(WINAPI * extTextOut)(HDC, int, int, UINT, const RECT*, LPCSTR, UINT, const INT*) = &ExtTextOutA;
  Keep(createCompatibleDC), Keep(deleteDC), Keep(setMapMode), Keep(getDeviceCaps), Keep(createFont);
  Keep(selectObject), Keep(deleteObject), Keep(getTextExtent), Keep(createDIBSection), Keep(setTextColor);
  Keep(setBkColor), Keep(setTextAlign), Keep(extTextOut);
  HGDIOBJ(WINAPI * getStockObject)(int) = &GetStockObject;
  Keep(getStockObject);
}

void CheckD3DX() {
  D3DXMATRIX*(WINAPI * identity)(D3DXMATRIX*) = &D3DXMatrixIdentity;
  D3DXMATRIX*(WINAPI * multiply)(D3DXMATRIX*, const D3DXMATRIX*, const D3DXMATRIX*) = &D3DXMatrixMultiply;
  D3DXMATRIX*(WINAPI * translation)(D3DXMATRIX*, FLOAT, FLOAT, FLOAT) = &D3DXMatrixTranslation;
  D3DXMATRIX*(WINAPI * rotationX)(D3DXMATRIX*, FLOAT) = &D3DXMatrixRotationX;
  D3DXMATRIX*(WINAPI * rotationY)(D3DXMATRIX*, FLOAT) = &D3DXMatrixRotationY;
  D3DXMATRIX*(WINAPI * rotationZ)(D3DXMATRIX*, FLOAT) = &D3DXMatrixRotationZ;
  D3DXMATRIX*(WINAPI * perspective)(D3DXMATRIX*, FLOAT, FLOAT, FLOAT, FLOAT) = &D3DXMatrixPerspectiveFovLH;
  D3DXMATRIX*(WINAPI * lookAt)(D3DXMATRIX*, const D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXVECTOR3*) =
      &D3DXMatrixLookAtLH;
  D3DXMATRIX (D3DXMATRIX::*times)(const D3DXMATRIX&) const = &D3DXMATRIX::operator*;
  D3DXMATRIX& (D3DXMATRIX::*timesAssign)(const D3DXMATRIX&) = &D3DXMATRIX::operator*=;
  HRESULT(WINAPI * textureFromFile)(LPDIRECT3DDEVICE9, LPCSTR, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                    DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*, PALETTEENTRY*,
                                    LPDIRECT3DTEXTURE9*) = &D3DXCreateTextureFromFileExA;
  HRESULT(WINAPI * imageInfoFromFile)(LPCSTR, D3DXIMAGE_INFO*) = &D3DXGetImageInfoFromFileA;
  HRESULT(WINAPI * imageInfoInMemory)(LPCVOID, UINT, D3DXIMAGE_INFO*) = &D3DXGetImageInfoFromFileInMemory;
  HRESULT(WINAPI * textureInMemory)(LPDIRECT3DDEVICE9, LPCVOID, UINT, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                    DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*, PALETTEENTRY*, LPDIRECT3DTEXTURE9*) =
      &D3DXCreateTextureFromFileInMemoryEx;
  HRESULT(WINAPI * saveSurface)(LPCSTR, D3DXIMAGE_FILEFORMAT, LPDIRECT3DSURFACE9, const PALETTEENTRY*,
                                const RECT*) = &D3DXSaveSurfaceToFileA;
  Keep(identity), Keep(multiply), Keep(translation), Keep(rotationX), Keep(rotationY), Keep(rotationZ);
  Keep(perspective), Keep(lookAt), Keep(times), Keep(timesAssign), Keep(textureFromFile);
  Keep(imageInfoFromFile), Keep(saveSurface), Keep(imageInfoInMemory), Keep(textureInMemory);
  HRESULT(WINAPI * textureFromFileExW)(LPDIRECT3DDEVICE9, LPCWSTR, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                       DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*, PALETTEENTRY*,
                                       LPDIRECT3DTEXTURE9*) = &D3DXCreateTextureFromFileExW;
  HRESULT(WINAPI * textureFromFileA)(LPDIRECT3DDEVICE9, LPCSTR, LPDIRECT3DTEXTURE9*) = &D3DXCreateTextureFromFileA;
  HRESULT(WINAPI * textureFromFileW)(LPDIRECT3DDEVICE9, LPCWSTR, LPDIRECT3DTEXTURE9*) = &D3DXCreateTextureFromFileW;
  HRESULT(WINAPI * imageInfoFromFileW)(LPCWSTR, D3DXIMAGE_INFO*) = &D3DXGetImageInfoFromFileW;
  HRESULT(WINAPI * saveSurfaceW)(LPCWSTR, D3DXIMAGE_FILEFORMAT, LPDIRECT3DSURFACE9, const PALETTEENTRY*,
                                 const RECT*) = &D3DXSaveSurfaceToFileW;
  Keep(textureFromFileExW), Keep(textureFromFileA), Keep(textureFromFileW), Keep(imageInfoFromFileW);
  Keep(saveSurfaceW);
  HRESULT(WINAPI * checkRequirements)(LPDIRECT3DDEVICE9, UINT*, UINT*, UINT*, DWORD, D3DFORMAT*, D3DPOOL) =
      &D3DXCheckTextureRequirements;
  HRESULT(WINAPI * createTexture)(LPDIRECT3DDEVICE9, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                  LPDIRECT3DTEXTURE9*) = &D3DXCreateTexture;
  HRESULT(WINAPI * loadSurface)(LPDIRECT3DSURFACE9, const PALETTEENTRY*, const RECT*, LPDIRECT3DSURFACE9,
                                const PALETTEENTRY*, const RECT*, DWORD, D3DCOLOR) = &D3DXLoadSurfaceFromSurface;
  HRESULT(WINAPI * createRts)(LPDIRECT3DDEVICE9, UINT, UINT, D3DFORMAT, BOOL, D3DFORMAT, LPD3DXRENDERTOSURFACE*) =
      &D3DXCreateRenderToSurface;
  HRESULT (STDMETHODCALLTYPE ID3DXRenderToSurface::*rtsDevice)(LPDIRECT3DDEVICE9*) = &ID3DXRenderToSurface::GetDevice;
  HRESULT (STDMETHODCALLTYPE ID3DXRenderToSurface::*rtsDesc)(D3DXRTS_DESC*) = &ID3DXRenderToSurface::GetDesc;
  HRESULT (STDMETHODCALLTYPE ID3DXRenderToSurface::*rtsBegin)(LPDIRECT3DSURFACE9, const D3DVIEWPORT9*) =
      &ID3DXRenderToSurface::BeginScene;
  HRESULT (STDMETHODCALLTYPE ID3DXRenderToSurface::*rtsEnd)(DWORD) = &ID3DXRenderToSurface::EndScene;
  HRESULT (STDMETHODCALLTYPE ID3DXRenderToSurface::*rtsLost)() = &ID3DXRenderToSurface::OnLostDevice;
  HRESULT (STDMETHODCALLTYPE ID3DXRenderToSurface::*rtsReset)() = &ID3DXRenderToSurface::OnResetDevice;
  Keep(checkRequirements), Keep(createTexture), Keep(loadSurface), Keep(createRts), Keep(rtsDevice), Keep(rtsDesc);
  Keep(rtsBegin), Keep(rtsEnd), Keep(rtsLost), Keep(rtsReset);

  D3DXMATRIX*(WINAPI * lookAtRH)(D3DXMATRIX*, const D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXVECTOR3*) =
      &D3DXMatrixLookAtRH;
  D3DXMATRIX*(WINAPI * perspectiveRH)(D3DXMATRIX*, FLOAT, FLOAT, FLOAT, FLOAT) = &D3DXMatrixPerspectiveFovRH;
  D3DXMATRIX*(WINAPI * perspectiveLH)(D3DXMATRIX*, FLOAT, FLOAT, FLOAT, FLOAT) = &D3DXMatrixPerspectiveLH;
  D3DXMATRIX*(WINAPI * orthoLH)(D3DXMATRIX*, FLOAT, FLOAT, FLOAT, FLOAT) = &D3DXMatrixOrthoLH;
  D3DXMATRIX*(WINAPI * scaling)(D3DXMATRIX*, FLOAT, FLOAT, FLOAT) = &D3DXMatrixScaling;
  D3DXMATRIX*(WINAPI * yawPitchRoll)(D3DXMATRIX*, FLOAT, FLOAT, FLOAT) = &D3DXMatrixRotationYawPitchRoll;
  D3DXMATRIX*(WINAPI * rotationAxis)(D3DXMATRIX*, const D3DXVECTOR3*, FLOAT) = &D3DXMatrixRotationAxis;
  D3DXMATRIX*(WINAPI * transpose)(D3DXMATRIX*, const D3DXMATRIX*) = &D3DXMatrixTranspose;
  D3DXMATRIX*(WINAPI * inverse)(D3DXMATRIX*, FLOAT*, const D3DXMATRIX*) = &D3DXMatrixInverse;
  D3DXVECTOR3*(WINAPI * normalize)(D3DXVECTOR3*, const D3DXVECTOR3*) = &D3DXVec3Normalize;
  D3DXVECTOR3*(WINAPI * transformCoord)(D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXMATRIX*) = &D3DXVec3TransformCoord;
  D3DXVECTOR3*(WINAPI * transformNormal)(D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXMATRIX*) =
      &D3DXVec3TransformNormal;
  D3DXVECTOR4*(WINAPI * transform)(D3DXVECTOR4*, const D3DXVECTOR3*, const D3DXMATRIX*) = &D3DXVec3Transform;
  Keep(lookAtRH), Keep(perspectiveRH), Keep(perspectiveLH), Keep(orthoLH), Keep(scaling), Keep(yawPitchRoll);
  Keep(rotationAxis), Keep(transpose), Keep(inverse), Keep(normalize), Keep(transformCoord);
  Keep(transformNormal), Keep(transform);
  // The inline vector helpers and operators.
  FLOAT(*dot)(const D3DXVECTOR3*, const D3DXVECTOR3*) = &D3DXVec3Dot;
  FLOAT(*length)(const D3DXVECTOR3*) = &D3DXVec3Length;
  FLOAT(*lengthSq)(const D3DXVECTOR3*) = &D3DXVec3LengthSq;
  D3DXVECTOR3*(*cross)(D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXVECTOR3*) = &D3DXVec3Cross;
  D3DXVECTOR3*(*add)(D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXVECTOR3*) = &D3DXVec3Add;
  D3DXVECTOR3*(*subtract)(D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXVECTOR3*) = &D3DXVec3Subtract;
  D3DXVECTOR3*(*scale)(D3DXVECTOR3*, const D3DXVECTOR3*, FLOAT) = &D3DXVec3Scale;
  D3DXVECTOR3*(*lerp)(D3DXVECTOR3*, const D3DXVECTOR3*, const D3DXVECTOR3*, FLOAT) = &D3DXVec3Lerp;
  Keep(dot), Keep(length), Keep(lengthSq), Keep(cross), Keep(add), Keep(subtract), Keep(scale), Keep(lerp);
  const D3DXVECTOR3 axis(0.0f, 1.0f, 0.0f);
  D3DXVECTOR3 sum = axis + D3DXVECTOR3(1, 1, 1) * 2.0f - -axis;
  D3DXVECTOR2 flat(1.0f, 2.0f);
  D3DXVECTOR4 homogeneous(1.0f, 2.0f, 3.0f, 1.0f);
  Keep(sum.x), Keep((flat * 2.0f).y), Keep(homogeneous.w);
  Keep(D3DXToRadian(180.0f)), Keep(D3DXToDegree(D3DX_PI));
  const D3DCOLOR fromFloats = D3DCOLOR_COLORVALUE(1.0f, 0.5f, 0.0f, 1.0f);
  Keep(fromFloats);
  // The matrix constructors the program relies on.
  const FLOAT f[16] = {};
  D3DXMATRIX fromArray(f);
  D3DXMATRIX fromValues(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  D3DXVECTOR3 v(1.0f, 2.0f, 3.0f);
  Keep(fromArray._11), Keep(fromValues(3, 3)), Keep(v.z);
}

// Meshes, shapes and .x files; the mesh's methods are named at ID3DXMesh, as programs call them.
void CheckD3DXMeshes() {
  HRESULT(WINAPI * createBuffer)(DWORD, ID3DXBuffer**) = &D3DXCreateBuffer;
  HRESULT(WINAPI * createMesh)(DWORD, DWORD, DWORD, DWORD, IDirect3DDevice9*, ID3DXMesh**) = &D3DXCreateMeshFVF;
  UINT(WINAPI * vertexSize)(DWORD) = &D3DXGetFVFVertexSize;
  HRESULT(WINAPI * loadA)(const char*, DWORD, IDirect3DDevice9*, ID3DXBuffer**, ID3DXBuffer**, ID3DXBuffer**, DWORD*,
                          ID3DXMesh**) = &D3DXLoadMeshFromXA;
  HRESULT(WINAPI * loadW)(const WCHAR*, DWORD, IDirect3DDevice9*, ID3DXBuffer**, ID3DXBuffer**, ID3DXBuffer**, DWORD*,
                          ID3DXMesh**) = &D3DXLoadMeshFromXW;
  HRESULT(WINAPI * loadInMemory)(const void*, DWORD, DWORD, IDirect3DDevice9*, ID3DXBuffer**, ID3DXBuffer**,
                                 ID3DXBuffer**, DWORD*, ID3DXMesh**) = &D3DXLoadMeshFromXInMemory;
  Keep(createBuffer), Keep(createMesh), Keep(vertexSize), Keep(loadA), Keep(loadW), Keep(loadInMemory);
  HRESULT(WINAPI * box)(IDirect3DDevice9*, float, float, float, ID3DXMesh**, ID3DXBuffer**) = &D3DXCreateBox;
  HRESULT(WINAPI * cylinder)(IDirect3DDevice9*, float, float, float, UINT, UINT, ID3DXMesh**, ID3DXBuffer**) =
      &D3DXCreateCylinder;
  HRESULT(WINAPI * polygon)(IDirect3DDevice9*, float, UINT, ID3DXMesh**, ID3DXBuffer**) = &D3DXCreatePolygon;
  HRESULT(WINAPI * sphere)(IDirect3DDevice9*, float, UINT, UINT, ID3DXMesh**, ID3DXBuffer**) = &D3DXCreateSphere;
  HRESULT(WINAPI * teapot)(IDirect3DDevice9*, ID3DXMesh**, ID3DXBuffer**) = &D3DXCreateTeapot;
  HRESULT(WINAPI * torus)(IDirect3DDevice9*, float, float, UINT, UINT, ID3DXMesh**, ID3DXBuffer**) = &D3DXCreateTorus;
  Keep(box), Keep(cylinder), Keep(polygon), Keep(sphere), Keep(teapot), Keep(torus);

  void*(STDMETHODCALLTYPE ID3DXBuffer::*pointer)() = &ID3DXBuffer::GetBufferPointer;
  DWORD(STDMETHODCALLTYPE ID3DXBuffer::*size)() = &ID3DXBuffer::GetBufferSize;
  Keep(pointer), Keep(size);
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*drawSubset)(DWORD) = &ID3DXMesh::DrawSubset;
  DWORD(STDMETHODCALLTYPE ID3DXMesh::*faces)() = &ID3DXMesh::GetNumFaces;
  DWORD(STDMETHODCALLTYPE ID3DXMesh::*vertices)() = &ID3DXMesh::GetNumVertices;
  DWORD(STDMETHODCALLTYPE ID3DXMesh::*fvf)() = &ID3DXMesh::GetFVF;
  DWORD(STDMETHODCALLTYPE ID3DXMesh::*stride)() = &ID3DXMesh::GetNumBytesPerVertex;
  DWORD(STDMETHODCALLTYPE ID3DXMesh::*options)() = &ID3DXMesh::GetOptions;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*device)(IDirect3DDevice9**) = &ID3DXMesh::GetDevice;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*clone)(DWORD, DWORD, IDirect3DDevice9*, ID3DXMesh**) = &ID3DXMesh::CloneMeshFVF;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*lockVertices)(DWORD, void**) = &ID3DXMesh::LockVertexBuffer;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*unlockVertices)() = &ID3DXMesh::UnlockVertexBuffer;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*lockIndices)(DWORD, void**) = &ID3DXMesh::LockIndexBuffer;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*unlockIndices)() = &ID3DXMesh::UnlockIndexBuffer;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*getTable)(D3DXATTRIBUTERANGE*, DWORD*) = &ID3DXMesh::GetAttributeTable;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*lockAttributes)(DWORD, DWORD**) = &ID3DXMesh::LockAttributeBuffer;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*unlockAttributes)() = &ID3DXMesh::UnlockAttributeBuffer;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*optimize)(DWORD, const DWORD*, DWORD*, DWORD*, ID3DXBuffer**) =
      &ID3DXMesh::OptimizeInplace;
  HRESULT(STDMETHODCALLTYPE ID3DXMesh::*setTable)(const D3DXATTRIBUTERANGE*, DWORD) = &ID3DXMesh::SetAttributeTable;
  Keep(drawSubset), Keep(faces), Keep(vertices), Keep(fvf), Keep(stride), Keep(options), Keep(device), Keep(clone);
  Keep(lockVertices), Keep(unlockVertices), Keep(lockIndices), Keep(unlockIndices), Keep(getTable);
  Keep(lockAttributes), Keep(unlockAttributes), Keep(optimize), Keep(setTable);
}

// Methods are named at the interface a program calls them on, which on Windows redeclares every
// inherited method; a pointer to the base's member converts to that type, nothing else does.
void CheckD3DXFontAndSprite() {
  HRESULT(WINAPI * createSprite)(LPDIRECT3DDEVICE9, LPD3DXSPRITE*) = &D3DXCreateSprite;
  HRESULT(WINAPI * createFontA)(LPDIRECT3DDEVICE9, INT, UINT, UINT, UINT, BOOL, DWORD, DWORD, DWORD, DWORD, LPCSTR,
                                LPD3DXFONT*) = &D3DXCreateFontA;
  HRESULT(WINAPI * createFontW)(LPDIRECT3DDEVICE9, INT, UINT, UINT, UINT, BOOL, DWORD, DWORD, DWORD, DWORD, LPCWSTR,
                                LPD3DXFONT*) = &D3DXCreateFontW;
  HRESULT(WINAPI * indirectA)(LPDIRECT3DDEVICE9, const D3DXFONT_DESCA*, LPD3DXFONT*) = &D3DXCreateFontIndirectA;
  HRESULT(WINAPI * indirectW)(LPDIRECT3DDEVICE9, const D3DXFONT_DESCW*, LPD3DXFONT*) = &D3DXCreateFontIndirectW;
  Keep(createSprite);
  Keep(createFontA);
  Keep(createFontW);
  Keep(indirectA);
  Keep(indirectW);
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*spriteDevice)(LPDIRECT3DDEVICE9*) = &ID3DXSprite::GetDevice;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*getTransform)(D3DXMATRIX*) = &ID3DXSprite::GetTransform;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*setTransform)(const D3DXMATRIX*) = &ID3DXSprite::SetTransform;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*worldViewRH)(const D3DXMATRIX*, const D3DXMATRIX*) =
      &ID3DXSprite::SetWorldViewRH;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*worldViewLH)(const D3DXMATRIX*, const D3DXMATRIX*) =
      &ID3DXSprite::SetWorldViewLH;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*begin)(DWORD) = &ID3DXSprite::Begin;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*draw)(LPDIRECT3DTEXTURE9, const RECT*, const D3DXVECTOR3*,
                                                const D3DXVECTOR3*, D3DCOLOR) = &ID3DXSprite::Draw;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*flush)() = &ID3DXSprite::Flush;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*end)() = &ID3DXSprite::End;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*spriteLost)() = &ID3DXSprite::OnLostDevice;
  HRESULT(STDMETHODCALLTYPE ID3DXSprite::*spriteReset)() = &ID3DXSprite::OnResetDevice;
  Keep(spriteDevice);
  Keep(getTransform);
  Keep(setTransform);
  Keep(worldViewRH);
  Keep(worldViewLH);
  Keep(begin);
  Keep(draw);
  Keep(flush);
  Keep(end);
  Keep(spriteLost);
  Keep(spriteReset);
  HRESULT(STDMETHODCALLTYPE ID3DXFont::*fontDevice)(LPDIRECT3DDEVICE9*) = &ID3DXFont::GetDevice;
  HRESULT(STDMETHODCALLTYPE ID3DXFont::*descA)(D3DXFONT_DESCA*) = &ID3DXFont::GetDescA;
  HRESULT(STDMETHODCALLTYPE ID3DXFont::*descW)(D3DXFONT_DESCW*) = &ID3DXFont::GetDescW;
  HDC(STDMETHODCALLTYPE ID3DXFont::*getDc)() = &ID3DXFont::GetDC;
  HRESULT(STDMETHODCALLTYPE ID3DXFont::*preloadCharacters)(UINT, UINT) = &ID3DXFont::PreloadCharacters;
  HRESULT(STDMETHODCALLTYPE ID3DXFont::*preloadTextA)(LPCSTR, INT) = &ID3DXFont::PreloadTextA;
  HRESULT(STDMETHODCALLTYPE ID3DXFont::*preloadTextW)(LPCWSTR, INT) = &ID3DXFont::PreloadTextW;
  INT(STDMETHODCALLTYPE ID3DXFont::*drawTextA)(LPD3DXSPRITE, LPCSTR, INT, LPRECT, DWORD, D3DCOLOR) =
      &ID3DXFont::DrawTextA;
  INT(STDMETHODCALLTYPE ID3DXFont::*drawTextW)(LPD3DXSPRITE, LPCWSTR, INT, LPRECT, DWORD, D3DCOLOR) =
      &ID3DXFont::DrawTextW;
  HRESULT(STDMETHODCALLTYPE ID3DXFont::*fontLost)() = &ID3DXFont::OnLostDevice;
  HRESULT(STDMETHODCALLTYPE ID3DXFont::*fontReset)() = &ID3DXFont::OnResetDevice;
  Keep(fontDevice);
  Keep(descA);
  Keep(descW);
  Keep(getDc);
  Keep(preloadCharacters);
  Keep(preloadTextA);
  Keep(preloadTextW);
  Keep(drawTextA);
  Keep(drawTextW);
  Keep(fontLost);
  Keep(fontReset);
}

void CheckDirect3D9() {
  IDirect3D9*(WINAPI * create)(UINT) = &Direct3DCreate9;
  HRESULT (STDMETHODCALLTYPE IUnknown::*queryInterface)(REFIID, void**) = &IUnknown::QueryInterface;
  ULONG (STDMETHODCALLTYPE IUnknown::*addRef)() = &IUnknown::AddRef;
  ULONG (STDMETHODCALLTYPE IUnknown::*release)() = &IUnknown::Release;
  ULONG (STDMETHODCALLTYPE IDirect3DDevice9::*deviceRelease)() = &IDirect3DDevice9::Release;
  ULONG (STDMETHODCALLTYPE IDirect3DTexture9::*textureAddRef)() = &IDirect3DTexture9::AddRef;
  Keep(create), Keep(queryInterface), Keep(addRef), Keep(release), Keep(deviceRelease), Keep(textureAddRef);

  UINT (STDMETHODCALLTYPE IDirect3D9::*adapterCount)() = &IDirect3D9::GetAdapterCount;
  HRESULT (STDMETHODCALLTYPE IDirect3D9::*adapterMode)(UINT, D3DDISPLAYMODE*) = &IDirect3D9::GetAdapterDisplayMode;
  HRESULT (STDMETHODCALLTYPE IDirect3D9::*checkFormat)(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                                                       D3DFORMAT) = &IDirect3D9::CheckDeviceFormat;
  HRESULT (STDMETHODCALLTYPE IDirect3D9::*d3dCaps)(UINT, D3DDEVTYPE, D3DCAPS9*) = &IDirect3D9::GetDeviceCaps;
  HRESULT (STDMETHODCALLTYPE IDirect3D9::*createDevice)(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                                        IDirect3DDevice9**) = &IDirect3D9::CreateDevice;
  Keep(adapterCount), Keep(adapterMode), Keep(checkFormat), Keep(d3dCaps), Keep(createDevice);

  HRESULT (STDMETHODCALLTYPE IDirect3DVertexBuffer9::*vbDevice)(IDirect3DDevice9**) =
      &IDirect3DVertexBuffer9::GetDevice;
  D3DRESOURCETYPE (STDMETHODCALLTYPE IDirect3DVertexBuffer9::*vbType)() = &IDirect3DVertexBuffer9::GetType;
  HRESULT (STDMETHODCALLTYPE IDirect3DVertexBuffer9::*vbLock)(UINT, UINT, void**, DWORD) =
      &IDirect3DVertexBuffer9::Lock;
  HRESULT (STDMETHODCALLTYPE IDirect3DVertexBuffer9::*vbUnlock)() = &IDirect3DVertexBuffer9::Unlock;
  HRESULT (STDMETHODCALLTYPE IDirect3DVertexBuffer9::*vbDesc)(D3DVERTEXBUFFER_DESC*) =
      &IDirect3DVertexBuffer9::GetDesc;
  Keep(vbDevice), Keep(vbType), Keep(vbLock), Keep(vbUnlock), Keep(vbDesc);

  HRESULT (STDMETHODCALLTYPE IDirect3DTexture9::*texDevice)(IDirect3DDevice9**) = &IDirect3DTexture9::GetDevice;
  D3DRESOURCETYPE (STDMETHODCALLTYPE IDirect3DTexture9::*texType)() = &IDirect3DTexture9::GetType;
  DWORD (STDMETHODCALLTYPE IDirect3DTexture9::*levelCount)() = &IDirect3DTexture9::GetLevelCount;
  HRESULT (STDMETHODCALLTYPE IDirect3DTexture9::*levelDesc)(UINT, D3DSURFACE_DESC*) =
      &IDirect3DTexture9::GetLevelDesc;
  HRESULT (STDMETHODCALLTYPE IDirect3DTexture9::*surfaceLevel)(UINT, IDirect3DSurface9**) =
      &IDirect3DTexture9::GetSurfaceLevel;
  HRESULT (STDMETHODCALLTYPE IDirect3DTexture9::*texLock)(UINT, D3DLOCKED_RECT*, const RECT*, DWORD) =
      &IDirect3DTexture9::LockRect;
  HRESULT (STDMETHODCALLTYPE IDirect3DTexture9::*texUnlock)(UINT) = &IDirect3DTexture9::UnlockRect;
  Keep(texDevice), Keep(texType), Keep(levelCount), Keep(levelDesc), Keep(surfaceLevel), Keep(texLock);
  Keep(texUnlock);

  HRESULT (STDMETHODCALLTYPE IDirect3DSurface9::*surfaceDevice)(IDirect3DDevice9**) =
      &IDirect3DSurface9::GetDevice;
  D3DRESOURCETYPE (STDMETHODCALLTYPE IDirect3DSurface9::*surfaceType)() = &IDirect3DSurface9::GetType;
  HRESULT (STDMETHODCALLTYPE IDirect3DSurface9::*surfaceDesc)(D3DSURFACE_DESC*) = &IDirect3DSurface9::GetDesc;
  HRESULT (STDMETHODCALLTYPE IDirect3DSurface9::*surfaceLock)(D3DLOCKED_RECT*, const RECT*, DWORD) =
      &IDirect3DSurface9::LockRect;
  HRESULT (STDMETHODCALLTYPE IDirect3DSurface9::*surfaceUnlock)() = &IDirect3DSurface9::UnlockRect;
  Keep(surfaceDevice), Keep(surfaceType), Keep(surfaceDesc), Keep(surfaceLock), Keep(surfaceUnlock);

  HRESULT (STDMETHODCALLTYPE IDirect3DStateBlock9::*blockDevice)(IDirect3DDevice9**) =
      &IDirect3DStateBlock9::GetDevice;
  HRESULT (STDMETHODCALLTYPE IDirect3DStateBlock9::*capture)() = &IDirect3DStateBlock9::Capture;
  HRESULT (STDMETHODCALLTYPE IDirect3DStateBlock9::*apply)() = &IDirect3DStateBlock9::Apply;
  HRESULT (STDMETHODCALLTYPE IDirect3DPixelShader9::*shaderDevice)(IDirect3DDevice9**) =
      &IDirect3DPixelShader9::GetDevice;
  Keep(blockDevice), Keep(capture), Keep(apply), Keep(shaderDevice);
}

void CheckDevice() {
  typedef IDirect3DDevice9 D;
  HRESULT (STDMETHODCALLTYPE D::*testCooperativeLevel)() = &D::TestCooperativeLevel;
  HRESULT (STDMETHODCALLTYPE D::*getDirect3D)(IDirect3D9**) = &D::GetDirect3D;
  HRESULT (STDMETHODCALLTYPE D::*getDeviceCaps)(D3DCAPS9*) = &D::GetDeviceCaps;
  HRESULT (STDMETHODCALLTYPE D::*getDisplayMode)(UINT, D3DDISPLAYMODE*) = &D::GetDisplayMode;
  HRESULT (STDMETHODCALLTYPE D::*reset)(D3DPRESENT_PARAMETERS*) = &D::Reset;
  HRESULT (STDMETHODCALLTYPE D::*present)(const RECT*, const RECT*, HWND, const RGNDATA*) = &D::Present;
  HRESULT (STDMETHODCALLTYPE D::*createTexture)(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture9**,
                                                HANDLE*) = &D::CreateTexture;
  HRESULT (STDMETHODCALLTYPE D::*createVertexBuffer)(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9**,
                                                     HANDLE*) = &D::CreateVertexBuffer;
  HRESULT (STDMETHODCALLTYPE D::*getRenderTarget)(DWORD, IDirect3DSurface9**) = &D::GetRenderTarget;
  HRESULT (STDMETHODCALLTYPE D::*setRenderTarget)(DWORD, IDirect3DSurface9*) = &D::SetRenderTarget;
  HRESULT (STDMETHODCALLTYPE D::*createRenderTarget)(UINT, UINT, D3DFORMAT, D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                                     IDirect3DSurface9**, HANDLE*) = &D::CreateRenderTarget;
  HRESULT (STDMETHODCALLTYPE D::*createDepthStencil)(UINT, UINT, D3DFORMAT, D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                                     IDirect3DSurface9**, HANDLE*) = &D::CreateDepthStencilSurface;
  HRESULT (STDMETHODCALLTYPE D::*setDepthStencil)(IDirect3DSurface9*) = &D::SetDepthStencilSurface;
  HRESULT (STDMETHODCALLTYPE D::*getDepthStencil)(IDirect3DSurface9**) = &D::GetDepthStencilSurface;
  HRESULT (STDMETHODCALLTYPE D::*stretchRect)(IDirect3DSurface9*, const RECT*, IDirect3DSurface9*, const RECT*,
                                              D3DTEXTUREFILTERTYPE) = &D::StretchRect;
  HRESULT (STDMETHODCALLTYPE D::*createQuery)(D3DQUERYTYPE, IDirect3DQuery9**) = &D::CreateQuery;
  HRESULT (STDMETHODCALLTYPE IDirect3DQuery9::*queryDevice)(IDirect3DDevice9**) = &IDirect3DQuery9::GetDevice;
  D3DQUERYTYPE (STDMETHODCALLTYPE IDirect3DQuery9::*queryType)() = &IDirect3DQuery9::GetType;
  DWORD (STDMETHODCALLTYPE IDirect3DQuery9::*querySize)() = &IDirect3DQuery9::GetDataSize;
  HRESULT (STDMETHODCALLTYPE IDirect3DQuery9::*queryIssue)(DWORD) = &IDirect3DQuery9::Issue;
  HRESULT (STDMETHODCALLTYPE IDirect3DQuery9::*queryData)(void*, DWORD, DWORD) = &IDirect3DQuery9::GetData;
  Keep(setRenderTarget), Keep(createRenderTarget), Keep(createDepthStencil), Keep(setDepthStencil);
  Keep(getDepthStencil), Keep(stretchRect), Keep(createQuery), Keep(queryDevice), Keep(queryType), Keep(querySize);
  Keep(queryIssue), Keep(queryData);
  HRESULT (STDMETHODCALLTYPE D::*getBackBuffer)(UINT, UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface9**) =
      &D::GetBackBuffer;
  HRESULT (STDMETHODCALLTYPE D::*getRenderTargetData)(IDirect3DSurface9*, IDirect3DSurface9*) =
      &D::GetRenderTargetData;
  HRESULT (STDMETHODCALLTYPE D::*createOffscreenPlainSurface)(UINT, UINT, D3DFORMAT, D3DPOOL, IDirect3DSurface9**,
                                                              HANDLE*) = &D::CreateOffscreenPlainSurface;
  HRESULT (STDMETHODCALLTYPE D::*beginScene)() = &D::BeginScene;
  HRESULT (STDMETHODCALLTYPE D::*endScene)() = &D::EndScene;
  HRESULT (STDMETHODCALLTYPE D::*clear)(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) = &D::Clear;
  HRESULT (STDMETHODCALLTYPE D::*setTransform)(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) = &D::SetTransform;
  HRESULT (STDMETHODCALLTYPE D::*getTransform)(D3DTRANSFORMSTATETYPE, D3DMATRIX*) = &D::GetTransform;
  HRESULT (STDMETHODCALLTYPE D::*setViewport)(const D3DVIEWPORT9*) = &D::SetViewport;
  HRESULT (STDMETHODCALLTYPE D::*getViewport)(D3DVIEWPORT9*) = &D::GetViewport;
  HRESULT (STDMETHODCALLTYPE D::*setMaterial)(const D3DMATERIAL9*) = &D::SetMaterial;
  HRESULT (STDMETHODCALLTYPE D::*getMaterial)(D3DMATERIAL9*) = &D::GetMaterial;
  HRESULT (STDMETHODCALLTYPE D::*setLight)(DWORD, const D3DLIGHT9*) = &D::SetLight;
  HRESULT (STDMETHODCALLTYPE D::*getLight)(DWORD, D3DLIGHT9*) = &D::GetLight;
  HRESULT (STDMETHODCALLTYPE D::*lightEnable)(DWORD, BOOL) = &D::LightEnable;
  HRESULT (STDMETHODCALLTYPE D::*getLightEnable)(DWORD, BOOL*) = &D::GetLightEnable;
  HRESULT (STDMETHODCALLTYPE D::*setRenderState)(D3DRENDERSTATETYPE, DWORD) = &D::SetRenderState;
  HRESULT (STDMETHODCALLTYPE D::*getRenderState)(D3DRENDERSTATETYPE, DWORD*) = &D::GetRenderState;
  HRESULT (STDMETHODCALLTYPE D::*beginStateBlock)() = &D::BeginStateBlock;
  HRESULT (STDMETHODCALLTYPE D::*endStateBlock)(IDirect3DStateBlock9**) = &D::EndStateBlock;
  HRESULT (STDMETHODCALLTYPE D::*getTexture)(DWORD, IDirect3DBaseTexture9**) = &D::GetTexture;
  HRESULT (STDMETHODCALLTYPE D::*setTexture)(DWORD, IDirect3DBaseTexture9*) = &D::SetTexture;
  HRESULT (STDMETHODCALLTYPE D::*getStageState)(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) =
      &D::GetTextureStageState;
  HRESULT (STDMETHODCALLTYPE D::*setStageState)(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) =
      &D::SetTextureStageState;
  HRESULT (STDMETHODCALLTYPE D::*getSamplerState)(DWORD, D3DSAMPLERSTATETYPE, DWORD*) = &D::GetSamplerState;
  HRESULT (STDMETHODCALLTYPE D::*setSamplerState)(DWORD, D3DSAMPLERSTATETYPE, DWORD) = &D::SetSamplerState;
  HRESULT (STDMETHODCALLTYPE D::*drawPrimitive)(D3DPRIMITIVETYPE, UINT, UINT) = &D::DrawPrimitive;
  HRESULT (STDMETHODCALLTYPE D::*drawPrimitiveUP)(D3DPRIMITIVETYPE, UINT, const void*, UINT) = &D::DrawPrimitiveUP;
  Keep(drawPrimitiveUP);
  HRESULT (STDMETHODCALLTYPE D::*drawIndexedPrimitive)(D3DPRIMITIVETYPE, INT, UINT, UINT, UINT, UINT) =
      &D::DrawIndexedPrimitive;
  HRESULT (STDMETHODCALLTYPE D::*drawIndexedPrimitiveUP)(D3DPRIMITIVETYPE, UINT, UINT, UINT, const void*, D3DFORMAT,
                                                         const void*, UINT) = &D::DrawIndexedPrimitiveUP;
  HRESULT (STDMETHODCALLTYPE D::*createIndexBuffer)(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer9**,
                                                    HANDLE*) = &D::CreateIndexBuffer;
  HRESULT (STDMETHODCALLTYPE D::*setIndices)(IDirect3DIndexBuffer9*) = &D::SetIndices;
  HRESULT (STDMETHODCALLTYPE D::*getIndices)(IDirect3DIndexBuffer9**) = &D::GetIndices;
  HRESULT (STDMETHODCALLTYPE IDirect3DIndexBuffer9::*lockIndices)(UINT, UINT, void**, DWORD) =
      &IDirect3DIndexBuffer9::Lock;
  HRESULT (STDMETHODCALLTYPE IDirect3DIndexBuffer9::*unlockIndices)() = &IDirect3DIndexBuffer9::Unlock;
  HRESULT (STDMETHODCALLTYPE IDirect3DIndexBuffer9::*describeIndices)(D3DINDEXBUFFER_DESC*) =
      &IDirect3DIndexBuffer9::GetDesc;
  Keep(drawIndexedPrimitive), Keep(drawIndexedPrimitiveUP), Keep(createIndexBuffer), Keep(setIndices);
  Keep(getIndices), Keep(lockIndices), Keep(unlockIndices), Keep(describeIndices);
  HRESULT (STDMETHODCALLTYPE D::*setFVF)(DWORD) = &D::SetFVF;
  HRESULT (STDMETHODCALLTYPE D::*getFVF)(DWORD*) = &D::GetFVF;
  HRESULT (STDMETHODCALLTYPE D::*setPixelShader)(IDirect3DPixelShader9*) = &D::SetPixelShader;
  HRESULT (STDMETHODCALLTYPE D::*getPixelShader)(IDirect3DPixelShader9**) = &D::GetPixelShader;
  HRESULT (STDMETHODCALLTYPE D::*setStreamSource)(UINT, IDirect3DVertexBuffer9*, UINT, UINT) = &D::SetStreamSource;
  HRESULT (STDMETHODCALLTYPE D::*getStreamSource)(UINT, IDirect3DVertexBuffer9**, UINT*, UINT*) =
      &D::GetStreamSource;
  Keep(testCooperativeLevel), Keep(getDirect3D), Keep(getDeviceCaps), Keep(getDisplayMode), Keep(reset);
  Keep(present), Keep(createTexture), Keep(createVertexBuffer), Keep(getRenderTarget), Keep(beginScene);
  Keep(endScene), Keep(clear), Keep(setTransform), Keep(getTransform), Keep(setViewport), Keep(getViewport);
  Keep(setMaterial), Keep(getMaterial), Keep(setRenderState), Keep(getRenderState), Keep(beginStateBlock);
  Keep(endStateBlock), Keep(getTexture), Keep(setTexture), Keep(getStageState), Keep(setStageState);
  Keep(getSamplerState), Keep(setSamplerState), Keep(drawPrimitive), Keep(setFVF), Keep(getFVF);
  Keep(setPixelShader), Keep(getPixelShader), Keep(setStreamSource), Keep(getStreamSource);
  Keep(getBackBuffer), Keep(getRenderTargetData), Keep(createOffscreenPlainSurface);
  Keep(setLight), Keep(getLight), Keep(lightEnable), Keep(getLightEnable);
}

// ---- Numbers --------------------------------------------------------------------------------
// Basic type widths of the 64-bit Windows ABI (LLP64): DWORD and LONG stay 32 bits.
static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4 && sizeof(LONG) == 4, "");
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*), "");
static_assert(sizeof(LRESULT) == sizeof(void*) && sizeof(UINT_PTR) == sizeof(void*), "");
static_assert(sizeof(HRESULT) == 4 && sizeof(BOOL) == 4 && sizeof(SHORT) == 2, "");

// Record layouts (64-bit): a field missing, added or of the wrong width changes these.
static_assert(sizeof(RECT) == 16 && sizeof(POINT) == 8, "");
static_assert(sizeof(MSG) == 48 && offsetof(MSG, time) == 32 && offsetof(MSG, pt) == 36, "");
static_assert(sizeof(WNDCLASSEXA) == 80 && offsetof(WNDCLASSEXA, lpszClassName) == 64, "");
static_assert(sizeof(CREATESTRUCTA) == 80 && offsetof(CREATESTRUCTA, style) == 48, "");
static_assert(sizeof(BITMAPINFOHEADER) == 40 && sizeof(BITMAPINFO) == 44, "");
static_assert(sizeof(D3DMATRIX) == 64 && sizeof(D3DVECTOR) == 12 && sizeof(D3DCOLORVALUE) == 16, "");
static_assert(sizeof(D3DVIEWPORT9) == 24 && sizeof(D3DMATERIAL9) == 68, "");
static_assert(sizeof(D3DPRESENT_PARAMETERS) == 64 && offsetof(D3DPRESENT_PARAMETERS, hDeviceWindow) == 32, "");
static_assert(offsetof(D3DPRESENT_PARAMETERS, PresentationInterval) == 60, "");
static_assert(sizeof(D3DSURFACE_DESC) == 32 && sizeof(D3DVERTEXBUFFER_DESC) == 24, "");
static_assert(sizeof(D3DINDEXBUFFER_DESC) == 20, "");
static_assert(sizeof(D3DLOCKED_RECT) == 16 && offsetof(D3DLOCKED_RECT, pBits) == 8, "");
static_assert(sizeof(D3DDISPLAYMODE) == 16 && sizeof(D3DXIMAGE_INFO) == 28, "");
static_assert(sizeof(D3DCAPS9) == 304 && offsetof(D3DCAPS9, MaxTextureWidth) == 88, "");
static_assert(offsetof(D3DCAPS9, AdapterOrdinal) == 4, "");
static_assert(sizeof(D3DXMATRIX) == 64 && sizeof(D3DXVECTOR3) == 12, "");

// Window messages, styles and virtual keys.
static_assert(WM_DESTROY == 0x0002 && WM_PAINT == 0x000F && WM_CLOSE == 0x0010 && WM_QUIT == 0x0012, "");
static_assert(WM_KEYDOWN == 0x0100 && WM_KEYUP == 0x0101 && WM_SYSKEYDOWN == 0x0104, "");
static_assert(WM_MOUSEMOVE == 0x0200 && WM_LBUTTONDOWN == 0x0201 && WM_LBUTTONUP == 0x0202, "");
static_assert(WM_RBUTTONDOWN == 0x0204 && WM_RBUTTONUP == 0x0205 && WM_MOUSEWHEEL == 0x020A, "");
static_assert(CS_GLOBALCLASS == 0x4000 && WS_EX_TOPMOST == 8, "");
static_assert(WS_POPUP == 0x80000000L && WS_VISIBLE == 0x10000000L && PM_REMOVE == 1, "");
static_assert(VK_ESCAPE == 0x1B && VK_ADD == 0x6B && VK_SUBTRACT == 0x6D && VK_END == 0x23, "");
static_assert(VK_HOME == 0x24 && VK_LEFT == 0x25 && VK_UP == 0x26 && VK_RIGHT == 0x27, "");
static_assert(VK_DOWN == 0x28 && VK_INSERT == 0x2D && VK_DELETE == 0x2E && VK_F4 == 0x73, "");
static_assert(MK_LBUTTON == 1 && MK_RBUTTON == 2 && SC_CLOSE == 0xF060, "");
static_assert(GENERIC_READ == 0x80000000UL && OPEN_EXISTING == 3 && FILE_SHARE_READ == 1, "");
static_assert(INVALID_FILE_SIZE == 0xFFFFFFFFu, "");
static_assert(FILE_NAME_NORMALIZED == 0 && FILE_NAME_OPENED == 8 && VOLUME_NAME_DOS == 0, "");
static_assert(VOLUME_NAME_GUID == 1 && VOLUME_NAME_NT == 2 && VOLUME_NAME_NONE == 4, "");

// Results.
static_assert(S_OK == 0 && E_FAIL == (HRESULT)0x80004005L && E_NOTIMPL == (HRESULT)0x80004001L, "");
static_assert(E_OUTOFMEMORY == (HRESULT)0x8007000EL && E_INVALIDARG == (HRESULT)0x80070057L, "");
static_assert(D3DERR_INVALIDCALL == (HRESULT)0x8876086CL && D3DERR_NOTAVAILABLE == (HRESULT)0x8876086AL, "");
static_assert(D3DERR_OUTOFVIDEOMEMORY == (HRESULT)0x8876017CL && D3DERR_DEVICELOST == (HRESULT)0x88760868L, "");
static_assert(D3DERR_WRONGTEXTUREFORMAT == (HRESULT)0x88760818L, "");
static_assert(D3DERR_UNSUPPORTEDALPHAOPERATION == (HRESULT)0x8876081BL, "");

// Device creation and presentation.
static_assert(D3D_SDK_VERSION == 32 && D3DADAPTER_DEFAULT == 0, "");
static_assert(D3DCREATE_SOFTWARE_VERTEXPROCESSING == 0x20 && D3DCREATE_HARDWARE_VERTEXPROCESSING == 0x40, "");
static_assert(D3DCREATE_MIXED_VERTEXPROCESSING == 0x80, "");
static_assert(D3DDEVTYPE_HAL == 1 && D3DSWAPEFFECT_DISCARD == 1, "");
static_assert(D3DPRESENT_INTERVAL_IMMEDIATE == 0x80000000L && D3DPRESENT_INTERVAL_DEFAULT == 0, "");
static_assert(D3DCLEAR_TARGET == 1 && D3DCLEAR_ZBUFFER == 2 && D3DCLEAR_STENCIL == 4, "");
static_assert(D3DBACKBUFFER_TYPE_MONO == 0 && D3DBACKBUFFER_TYPE_LEFT == 1, "");

// Render states.
static_assert(D3DRS_ZENABLE == 7 && D3DRS_FILLMODE == 8 && D3DRS_SHADEMODE == 9, "");
static_assert(D3DRS_ZWRITEENABLE == 14 && D3DRS_ALPHATESTENABLE == 15 && D3DRS_SRCBLEND == 19, "");
static_assert(D3DRS_DESTBLEND == 20 && D3DRS_CULLMODE == 22 && D3DRS_ZFUNC == 23, "");
static_assert(D3DRS_ALPHAREF == 24 && D3DRS_ALPHAFUNC == 25 && D3DRS_DITHERENABLE == 26, "");
static_assert(D3DRS_ALPHABLENDENABLE == 27 && D3DRS_FOGENABLE == 28 && D3DRS_SPECULARENABLE == 29, "");
static_assert(D3DRS_CLIPPING == 136 && D3DRS_LIGHTING == 137 && D3DRS_AMBIENT == 139, "");
static_assert(D3DRS_COLORVERTEX == 141 && D3DRS_NORMALIZENORMALS == 143, "");
static_assert(D3DRS_DIFFUSEMATERIALSOURCE == 145 && D3DRS_COLORWRITEENABLE == 168, "");
static_assert(D3DRS_LOCALVIEWER == 142 && D3DRS_SPECULARMATERIALSOURCE == 146, "");
static_assert(D3DRS_AMBIENTMATERIALSOURCE == 147 && D3DRS_EMISSIVEMATERIALSOURCE == 148, "");
static_assert(D3DMCS_MATERIAL == 0 && D3DMCS_COLOR1 == 1 && D3DMCS_COLOR2 == 2, "");

// Lights and materials: the records programs fill field by field.
static_assert(D3DLIGHT_POINT == 1 && D3DLIGHT_SPOT == 2 && D3DLIGHT_DIRECTIONAL == 3, "");
static_assert(sizeof(D3DLIGHT9) == 104 && offsetof(D3DLIGHT9, Diffuse) == 4 && offsetof(D3DLIGHT9, Position) == 52, "");
static_assert(offsetof(D3DLIGHT9, Range) == 76 && offsetof(D3DLIGHT9, Attenuation0) == 84, "");
static_assert(offsetof(D3DLIGHT9, Phi) == 100, "");
static_assert(sizeof(D3DMATERIAL9) == 68 && offsetof(D3DMATERIAL9, Emissive) == 48, "");
static_assert(D3DVTXPCAPS_MATERIALSOURCE7 == 2 && D3DVTXPCAPS_DIRECTIONALLIGHTS == 8, "");
static_assert(D3DVTXPCAPS_POSITIONALLIGHTS == 0x10 && D3DVTXPCAPS_LOCALVIEWER == 0x20, "");
static_assert(D3DRS_BLENDOP == 171 && D3DRS_SRCBLENDALPHA == 207 && D3DRS_BLENDOPALPHA == 209, "");
static_assert(D3DZB_TRUE == 1 && D3DFILL_SOLID == 3 && D3DSHADE_GOURAUD == 2, "");
static_assert(D3DCULL_NONE == 1 && D3DCULL_CW == 2 && D3DCULL_CCW == 3, "");
static_assert(D3DCMP_NEVER == 1 && D3DCMP_LESSEQUAL == 4 && D3DCMP_GREATER == 5 && D3DCMP_ALWAYS == 8, "");
static_assert(D3DBLEND_ZERO == 1 && D3DBLEND_ONE == 2 && D3DBLEND_SRCALPHA == 5, "");
static_assert(D3DBLEND_INVSRCALPHA == 6 && D3DBLENDOP_ADD == 1, "");

// Texture stages and samplers.
static_assert(D3DTSS_COLOROP == 1 && D3DTSS_COLORARG1 == 2 && D3DTSS_COLORARG2 == 3, "");
static_assert(D3DTSS_ALPHAOP == 4 && D3DTSS_ALPHAARG1 == 5 && D3DTSS_ALPHAARG2 == 6, "");
static_assert(D3DTSS_TEXCOORDINDEX == 11 && D3DTSS_TEXTURETRANSFORMFLAGS == 24 && D3DTSS_RESULTARG == 28, "");
static_assert(D3DTOP_DISABLE == 1 && D3DTOP_SELECTARG1 == 2 && D3DTOP_SELECTARG2 == 3 && D3DTOP_MODULATE == 4, "");
static_assert(D3DTA_DIFFUSE == 0 && D3DTA_CURRENT == 1 && D3DTA_TEXTURE == 2 && D3DTA_TFACTOR == 3, "");
static_assert(D3DSAMP_ADDRESSU == 1 && D3DSAMP_ADDRESSV == 2 && D3DSAMP_MAGFILTER == 5, "");
static_assert(D3DSAMP_MINFILTER == 6 && D3DSAMP_MIPFILTER == 7 && D3DSAMP_MAXMIPLEVEL == 9, "");
static_assert(D3DTEXF_NONE == 0 && D3DTEXF_POINT == 1 && D3DTEXF_LINEAR == 2 && D3DTEXF_GAUSSIANQUAD == 7, "");
static_assert(D3DTADDRESS_WRAP == 1 && D3DTADDRESS_CLAMP == 3, "");

// Vertices, transforms, primitives.
static_assert(D3DFVF_XYZ == 0x002 && D3DFVF_XYZRHW == 0x004 && D3DFVF_NORMAL == 0x010, "");
static_assert(D3DFVF_DIFFUSE == 0x040 && D3DFVF_SPECULAR == 0x080 && D3DFVF_TEX1 == 0x100, "");
static_assert((D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1) == 0x142, "");
static_assert(D3DTS_VIEW == 2 && D3DTS_PROJECTION == 3 && D3DTS_WORLD == 256, "");
static_assert(D3DPT_LINELIST == 2 && D3DPT_TRIANGLELIST == 4 && D3DPT_TRIANGLEFAN == 6, "");

// Formats, pools, usages and locks.
static_assert(D3DFMT_UNKNOWN == 0 && D3DFMT_R8G8B8 == 20 && D3DFMT_A8R8G8B8 == 21 && D3DFMT_X8R8G8B8 == 22, "");
static_assert(D3DFMT_R5G6B5 == 23 && D3DFMT_X1R5G5B5 == 24 && D3DFMT_A1R5G5B5 == 25, "");
static_assert(D3DFMT_A4R4G4B4 == 26 && D3DFMT_L8 == 50 && D3DFMT_D16 == 80, "");
// The SDK widens these enumerations to unsigned 32 bits.
static_assert((DWORD)D3DFMT_FORCE_DWORD == 0xFFFFFFFFu && (DWORD)D3DDEVTYPE_FORCE_DWORD == 0xFFFFFFFFu, "");
static_assert(D3DFMT_DXT1 == 0x31545844 && D3DFMT_DXT3 == 0x33545844 && D3DFMT_DXT5 == 0x35545844, "");
static_assert(D3DPOOL_DEFAULT == 0 && D3DPOOL_MANAGED == 1 && D3DPOOL_SYSTEMMEM == 2, "");
static_assert(D3DRTYPE_TEXTURE == 3 && D3DRTYPE_VERTEXBUFFER == 6 && D3DRTYPE_SURFACE == 1, "");
static_assert(D3DUSAGE_WRITEONLY == 8 && D3DUSAGE_DYNAMIC == 0x200 && D3DLOCK_DISCARD == 0x2000, "");
static_assert(D3DLOCK_READONLY == 0x10 && D3DLOCK_NOOVERWRITE == 0x1000, "");

// D3DX.
static_assert(D3DX_DEFAULT == (UINT)-1 && D3DX_DEFAULT_NONPOW2 == (UINT)-2, "");
static_assert(D3DX_FILTER_NONE == 1 && D3DX_FILTER_POINT == 2 && D3DX_FILTER_LINEAR == 3, "");
static_assert(D3DX_FILTER_TRIANGLE == 4 && D3DX_FILTER_BOX == 5 && D3DX_FILTER_MIRROR == (7 << 16), "");
static_assert(D3DXIFF_DDS == 4 && D3DXIFF_PNG == 3 && D3DXIFF_JPG == 1, "");

// Window styles, frames, metrics, message boxes and stock objects of small programs.
static_assert(WS_OVERLAPPEDWINDOW == 0x00CF0000L && WS_CAPTION == 0x00C00000L && WS_THICKFRAME == 0x00040000L, "");
static_assert(WS_EX_CLIENTEDGE == 0x200 && WS_EX_TOOLWINDOW == 0x80 && CS_CLASSDC == 0x40, "");
static_assert(SM_CXSCREEN == 0 && SM_CYCAPTION == 4 && SM_CXFRAME == 32 && SM_CXEDGE == 45, "");
static_assert(MB_OK == 0 && MB_YESNO == 4 && MB_ICONERROR == 0x10 && IDOK == 1 && IDNO == 7, "");
static_assert(BLACK_BRUSH == 4 && WHITE_BRUSH == 0 && DEFAULT_GUI_FONT == 17 && STOCK_LAST == 19, "");
static_assert(STRSAFE_E_INSUFFICIENT_BUFFER == (HRESULT)0x8007007AL && STRSAFE_MAX_CCH == 2147483647, "");
static_assert(sizeof(WNDCLASSEXW) == 80 && sizeof(WNDCLASSA) == 72 && sizeof(CREATESTRUCTW) == 80, "");
static_assert(sizeof(D3DXVECTOR2) == 8 && sizeof(D3DXVECTOR4) == 16, "");
static_assert(sizeof(D3DXATTRIBUTERANGE) == 20 && offsetof(D3DXMATERIAL, pTextureFilename) == 72, "");

// Colour helpers.
static_assert(D3DCOLOR_ARGB(0x12, 0x34, 0x56, 0x78) == 0x12345678u, "");
static_assert(D3DCOLOR_XRGB(1, 2, 3) == 0xFF010203u && RGB(1, 2, 3) == 0x00030201u, "");
static_assert(MAKELONG(1, 2) == 0x00020001 && LOWORD(0x12345678) == 0x5678 && HIWORD(0x12345678) == 0x1234, "");

}  // namespace

// The program's entry as every kvrplatform program and every Windows GUI program declares it.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd) {
  CheckUser32();
  CheckGenericTextNames();
  CheckWindowHelpers();
  CheckD3DXMathTypes();
  CheckStrsafe();
  CheckKernel32AndWinmm();
  CheckGdi32();
  CheckD3DX();
  CheckD3DXMeshes();
  CheckD3DXFontAndSprite();
  CheckDirect3D9();
  CheckDevice();
  return 0;
}

// The wide entry, as a program built for UNICODE defines it (the layer's main calls WinMain when a
// program has both; on Windows the linker is told which).
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd) {
  return WinMain(hInstance, hPrevInstance, nullptr, nShowCmd);
}
