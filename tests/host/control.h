// Control of the test host: which functions it leaves out or fails, which
// interface versions it reports, and where its log goes.  One shared library
// (libtvhostctl.so) holds this state for both host libraries, the host driver
// and the tests, so a setting made in one place is seen by all.
//
// Control text, one directive per line ('*' starts a comment):
//   omit <function>          the check entry says the function is not offered
//   fail <function>          every call of the function reports failure
//   failafter <function> <k> the first k calls succeed, every later one fails
//   version <opt|hmo|hev> <n> the version entry serves interface version n
//   failjunk <function>      every call fails and writes nonsense into its
//                            count outputs (sparse queries, evaluation calls)
//   overcount <function> <k> the sparse query succeeds but reports k entries
//                            (and k nonlinear ones) more than it wrote
// The file named by the environment variable TVHOST_CONTROL is read when the
// library is loaded.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

void tvhost_control_reset(void);
// Add directives; returns the number of lines it could not parse.
int tvhost_control_add(const char* text);
int tvhost_control_file(const char* path);

int tvhost_omitted(const char* function);
// Whether this call of the function fails; each call asks once.
int tvhost_fails(const char* function);
// Whether every call of the function fails with nonsense counts.
int tvhost_fails_junk(const char* function);
// Entries a sparse query adds to the counts it reports (0: none).
int tvhost_overcount(const char* function);
// The interface version to report for a layer ("opt", "hmo", "hev").
int tvhost_version(const char* layer, int own);

// Log output: written to standard output and, while capturing, kept.
void tvhost_out(const char* text);
void tvhost_capture_start(void);
// Everything written since tvhost_capture_start (valid until the next call).
const char* tvhost_capture_text(void);
void tvhost_capture_stop(void);

#ifdef __cplusplus
}
#endif
