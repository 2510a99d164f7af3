/* A small Windows program for the module tests: it loads its own icon group 1, the bitmap 1 and the cursor
   "POINTER" the way programs do, and the first icon the shell would show for it, and prints their sizes. */
#include <stdio.h>
#include <windows.h>

static void printIcon(const char* what, HICON icon) {
  ICONINFO info;
  BITMAP bitmap;
  if (!icon || !GetIconInfo(icon, &info)) {
    printf("%s none\n", what);
    return;
  }
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  /* A monochrome picture keeps its AND and XOR masks in one bitmap of twice the height. */
  printf("%s %ldx%ld hot %lu,%lu\n", what, bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2,
         info.xHotspot, info.yHotspot);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

int main(void) {
  HINSTANCE self = GetModuleHandleW(NULL);
  printIcon("icon", (HICON)LoadImageW(self, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, 0));
  printIcon("cursor", (HICON)LoadImageW(self, L"POINTER", IMAGE_CURSOR, 0, 0, 0));
  HBITMAP picture = (HBITMAP)LoadImageW(self, MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, 0);
  BITMAP bitmap;
  if (picture && GetObjectW(picture, sizeof bitmap, &bitmap))
    printf("bitmap %ldx%ld\n", bitmap.bmWidth, bitmap.bmHeight);
  else
    printf("bitmap none\n");
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(NULL, path, MAX_PATH);
  HICON large = NULL;
  ExtractIconExW(path, 0, &large, NULL, 1);
  printIcon("shell", large);
  return 0;
}
