// The unit the precompiled Qt headers of a floor are made for.
