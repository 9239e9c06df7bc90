/* The entry point of the resource-only navres32.dll: nothing to set up, no C runtime. */
int __stdcall Navres32Entry(void* module, unsigned long reason, void* reserved) {
  (void)module;
  (void)reason;
  (void)reserved;
  return 1;
}
