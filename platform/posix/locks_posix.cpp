// Locks and conditions on POSIX: a pthread mutex and condition variable each.
#include <errno.h>
#include <pthread.h>
#include <stdlib.h>

#include "platform/posix/calls_posix.h"

struct lock_t {
    pthread_mutex_t mutex;
};

struct cond_t {
    pthread_cond_t cond;
};

lock_t* posix_lock_create() {
    lock_t* lock = (lock_t*)malloc(sizeof(lock_t));
    const int failure = lock ? pthread_mutex_init(&lock->mutex, nullptr) : ENOMEM;
    if (failure) {
        free(lock);
        posix_fail(failure);
        return nullptr;
    }
    return lock;
}

void posix_lock_free(lock_t* lock) {
    if (!lock) return;
    pthread_mutex_destroy(&lock->mutex);
    free(lock);
}

void posix_lock_enter(lock_t* lock) {
    pthread_mutex_lock(&lock->mutex);
}

void posix_lock_leave(lock_t* lock) {
    pthread_mutex_unlock(&lock->mutex);
}

cond_t* posix_cond_create() {
    cond_t* cond = (cond_t*)malloc(sizeof(cond_t));
    const int failure = cond ? pthread_cond_init(&cond->cond, nullptr) : ENOMEM;
    if (failure) {
        free(cond);
        posix_fail(failure);
        return nullptr;
    }
    return cond;
}

void posix_cond_free(cond_t* cond) {
    if (!cond) return;
    pthread_cond_destroy(&cond->cond);
    free(cond);
}

void posix_cond_wait(cond_t* cond, lock_t* lock) {
    pthread_cond_wait(&cond->cond, &lock->mutex);
}

void posix_cond_wake(cond_t* cond) {
    pthread_cond_signal(&cond->cond);
}
