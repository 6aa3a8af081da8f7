// Leak-check settings built into every test program of a sanitized build.
//
// GCC 12's leak checker walks the dynamic TLS blocks it recorded through
// __tls_get_addr; after a module with thread-locals has been mapped and a
// thread that used it has exited, it can read a stale block entry and crash
// at exit ("Tracer caught signal 11") in a test that passed. Not recording
// those blocks leaves the ordinary roots (stacks, static TLS, globals) in
// place, so real leaks are still reported.
extern "C" const char* __lsan_default_options() { return "intercept_tls_get_addr=0"; }
