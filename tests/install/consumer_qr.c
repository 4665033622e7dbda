/* A C99 program that draws a payment code with the installed libtarvo-qr. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tarvo.h>
#include <tarvo_qr.h>

int main(void) {
    tarvo_epcqr_t code = {0};
    code.name = "Example";
    code.iban = "DE89370400440532013000";
    char *payload = tarvo_epcqr_make(&code, NULL, 0);
    if (payload == NULL) return 1;
    size_t size = 0;
    unsigned char *png = tarvo_qr_png(TARVO_QR_EPC, payload, strlen(payload), &size, NULL, 0);
    if (png == NULL || size < 8 || memcmp(png, "\x89PNG", 4) != 0) return 2;
    free(png);
    free(payload);
    puts("ok");
    return 0;
}
