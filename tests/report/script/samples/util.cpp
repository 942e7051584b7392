int shared;
{ }
