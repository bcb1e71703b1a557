#pragma once
// The lock rules, written where the locks and the data they guard are
// declared, and checked by clang's thread-safety analysis (-Wthread-safety).
// Other compilers see nothing of them.

#if defined(__clang__)
#define KOR_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define KOR_THREAD_ANNOTATION(x)
#endif

// A type that is a lock.
#define CAPABILITY(x) KOR_THREAD_ANNOTATION(capability(x))
// A type that holds a lock from its construction to its destruction.
#define SCOPED_CAPABILITY KOR_THREAD_ANNOTATION(scoped_lockable)

// The member is read and written only with the lock held.
#define GUARDED_BY(x) KOR_THREAD_ANNOTATION(guarded_by(x))
// What the pointer points to is read and written only with the lock held.
#define PT_GUARDED_BY(x) KOR_THREAD_ANNOTATION(pt_guarded_by(x))

// The locks are taken in this order: this one before (or after) those named.
#define ACQUIRED_BEFORE(...) KOR_THREAD_ANNOTATION(acquired_before(__VA_ARGS__))
#define ACQUIRED_AFTER(...) KOR_THREAD_ANNOTATION(acquired_after(__VA_ARGS__))

// The caller holds the lock (REQUIRES), or does not (EXCLUDES).
#define REQUIRES(...) KOR_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) KOR_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))

// The function takes the lock and returns with it held, or releases it.
#define ACQUIRE(...) KOR_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) KOR_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define TRY_ACQUIRE(...) KOR_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))

// The function returns a reference to the lock.
#define RETURN_CAPABILITY(x) KOR_THREAD_ANNOTATION(lock_returned(x))

// The function is left out of the analysis: it follows a rule the analysis
// cannot follow, which a comment beside it says.
#define NO_THREAD_SAFETY_ANALYSIS KOR_THREAD_ANNOTATION(no_thread_safety_analysis)
