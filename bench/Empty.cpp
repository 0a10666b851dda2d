// An executable that does nothing: the cost of starting any process under
// Wine, against which the other figures are read.
int main()
{
    return 0;
}
