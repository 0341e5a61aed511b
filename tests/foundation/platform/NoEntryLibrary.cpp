// A shared library that loads but is no component: it has no DllGetClassObject.
extern "C" int BcTestNotAComponent() { return 42; }
