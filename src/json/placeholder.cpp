// The JSON document lands here.
