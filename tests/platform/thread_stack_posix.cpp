#include "platform/thread_stack.h"

#include <pthread.h>

std::size_t CurrentThreadStackSize()
{
    std::size_t Stack = 0;
    pthread_attr_t Attr;
    if (pthread_getattr_np(pthread_self(), &Attr) == 0) {
        pthread_attr_getstacksize(&Attr, &Stack);
        pthread_attr_destroy(&Attr);
    }
    return Stack;
}
