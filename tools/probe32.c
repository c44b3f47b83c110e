/* tools/probe32.c
 *
 * Ends at once with status 0. Built by the 32-bit build: when Wine runs it, this machine
 * runs 32-bit Windows code and the shipped program is the one to run and test. */
int main(void)
{
    return 0;
}
