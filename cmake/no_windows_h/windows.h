// Put first on the include path of the portable core: the core must build
// without the Windows headers, so platform calls belong in a *_win.cpp file.
#error "windows.h included from portable code; move the platform call into a _win file"
