/* The four entry points through which the modelling host drives TARVO.
 * Handles are opaque; every function returns 0 on success. */
#ifndef TVLINK_H
#define TVLINK_H

#ifdef __cplusplus
extern "C" {
#endif

#define TVL_EXPORT __attribute__((visibility("default")))

/* Make a link object.  msgBuf (msgBufLen bytes) receives a message, empty on success. */
TVL_EXPORT int tvlCreate(void** Cptr, char* msgBuf, int msgBufLen);
/* Release a link object; *Cptr becomes null.  A null handle is accepted. */
TVL_EXPORT void tvlFree(void** Cptr);
/* Bind the host's interfaces for a model object, read options, size the workspace. */
TVL_EXPORT int tvlReadyAPI(void* Cptr, void* model);
/* Solve the model given to tvlReadyAPI. */
TVL_EXPORT int tvlCallSolver(void* Cptr);

#ifdef __cplusplus
}
#endif

#endif
